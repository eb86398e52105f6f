#include "app/ProgressBar1.h"

namespace papyrant {

ProgressBar1::ProgressBar1(QWidget* parent)
    : QProgressBar(parent)
    , m_text(QStringLiteral("Progress Bar"))
{
    setObjectName(QStringLiteral("ProgressBar1"));
    setRange(0, 100);
    setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

void ProgressBar1::setText(const QString& text)
{
    m_text = text;
    update();
}

} // namespace papyrant
