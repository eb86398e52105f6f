#pragma once

#include <QProgressBar>

namespace papyrant {

// A progress bar that shows its text inside the bar exactly as given (Qt's own format would read "%" in a file
// name as a placeholder).
class ProgressBar1 : public QProgressBar
{
    Q_OBJECT

public:
    explicit ProgressBar1(QWidget* parent = nullptr);
    QString text() const override
    {
        return m_text;
    }
    void setText(const QString& text);

private:
    QString m_text;
};

} // namespace papyrant
