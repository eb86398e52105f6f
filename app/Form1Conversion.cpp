// "Start Converting": the window's side of the conversion run.
#include "app/Form1.h"
#include "app/ProgressBar1.h"
#include "conversion/ListedSources.h"
#include "filelist/gui/FileNameText.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

namespace papyrant {

namespace {

// The run reads the list, the options and the folder box live, and shows its progress in the window. The set of
// listed texts follows the list's changes for as long as the run lasts.
class Form1ConversionHost : public ConversionHost, private FileListObserver
{
public:
    Form1ConversionHost(Form1& form, MessageBoxes& messages)
        : m_form(form)
        , m_messages(messages)
    {
        for (const std::string& entry : list().entries())
            m_sources.add(entry);
        list().addObserver(this);
    }
    ~Form1ConversionHost() override
    {
        list().removeObserver(this);
    }
    Form1ConversionHost(const Form1ConversionHost&) = delete;
    Form1ConversionHost& operator=(const Form1ConversionHost&) = delete;
    std::size_t entryCount() const override
    {
        return m_form.fileList().count();
    }
    std::string entryText(std::size_t position) const override
    {
        return m_form.fileList().item(position);
    }
    bool outputToFolder() const override
    {
        return m_form.Option1->isChecked();
    }
    bool outputBesideSource() const override
    {
        return m_form.Option2->isChecked();
    }
    std::string outputFolder() const override
    {
        return fileNameBytes(m_form.Text1->text());
    }
    void setMousePointer(int value) override
    {
        m_form.setMousePointer(value);
    }
    void setProgressValue(double value) override
    {
        m_form.ProgressBar1_->setValue(static_cast<int>(value));
    }
    void setProgressText(const std::string& text) override
    {
        m_form.ProgressBar1_->setText(fileNameText(text));
    }
    MessageBoxes& messages() override
    {
        return m_messages;
    }
    Yielder& yielder() override
    {
        return m_form.yielder();
    }
    ListedSources& listedSources() override
    {
        return m_sources;
    }

private:
    FileList& list() const
    {
        return m_form.fileList();
    }
    void entryAboutToBeAdded(std::size_t) override { }
    void entryAdded(std::size_t position) override
    {
        m_sources.add(list().item(position));
    }
    void entryAboutToBeRemoved(std::size_t position) override
    {
        m_sources.remove(list().item(position));
    }
    void entryRemoved(std::size_t) override { }
    void entriesAboutToBeCleared() override
    {
        m_sources.clear();
    }
    void entriesCleared() override { }
    void entryAboutToBeChanged(std::size_t position) override
    {
        m_sources.remove(list().item(position));
    }
    void entryChanged(std::size_t position) override
    {
        m_sources.add(list().item(position));
    }

    Form1& m_form;
    MessageBoxes& m_messages;
    ListedSources m_sources;
};

} // namespace

bool Form1::IsConverting() const
{
    return m_conversion->IsConverting();
}

void Form1::PushButton2_Click()
{
    CommandScope scope(*this);
    Form1ConversionHost host(*this, m_services.messages);
    m_conversion->run(host);
}

} // namespace papyrant
