#pragma once

#include "app/QtYielder.h"
#include "conversion/ConversionRun.h"
#include "filelist/DragReorder.h"
#include "filelist/FileList.h"

#include <QCursor>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QGroupBox;
class QLineEdit;
class QMimeData;
class QPushButton;
class QRadioButton;

namespace papyrant {

class FileOpenDialog;
class GuardedCommand;
class FolderPicker;
class ListView1;
class MessageBoxes;
class PrinterSystem;
class ProgressBar1;
class Registry;
class SettingsStore;
class ShellOpener;

// What the window works with; the program passes the real services, tests pass scripted ones.
struct Form1Services
{
    MessageBoxes& messages;
    FolderPicker& folderPicker;
    FileOpenDialog& fileOpen;
    ShellOpener& shell;
    Registry& registry;
    PrinterSystem& printers;
    Launcher launch;
    RunLockTaker runLock;
    std::string programFolder;
    // How long the conversion run waits for a PDF that neither appears nor grows.
    std::chrono::milliseconds pdfWaitLimit = kPdfWaitLimit;
};

// The main window. Its event handlers are the program's commands and keep their given names.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence, run before the window is first shown.
    void Form_Load();

    // The window's mouse-pointer value: 0 default, 11 hourglass, 99 the hand.
    int MousePointer() const
    {
        return m_mousePointer;
    }
    void setMousePointer(int value);
    // The cursor the window shows over a widget for the current pointer values.
    QCursor cursorShownOver(const QWidget* widget) const;

    bool IsConverting() const;
    bool stopRequested() const
    {
        return m_yielder.stopRequested();
    }
    Yielder& yielder()
    {
        return m_yielder;
    }
    FileList& fileList()
    {
        return m_list;
    }
    bool hasHandCursor() const
    {
        return m_handCursor.has_value();
    }

    // Controls, by their names.
    ListView1* ListView1_() const
    {
        return m_listView;
    }
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text1 = nullptr;
    ProgressBar1* ProgressBar1_ = nullptr;

    // Commands.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton4_Click();
    void PushButton6_Click();
    void PushButton7_Click();
    void PushButton9_Click();
    void Option1_Click();
    void Option2_Click();
    void Text1_Change();

    // The list's own handlers.
    void ListView1_KeyDown(int keyCode);
    void ListView1_DblClick();
    void ListView1_MouseDown();
    void ListView1_ItemClick();
    void ListView1_MouseMove(const QPoint& viewportPoint);
    void ListView1_MouseUp();
    bool ListView1_OLEDragOver(const QMimeData* dropped);
    void ListView1_OLEDragDrop(const QMimeData* dropped);

    // Hover rules.
    void Form_MouseMove();
    void Frame3_MouseMove();
    void Frame5_MouseMove();
    void PushButton_MouseMove();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Counts the commands on the stack, so that closing the window during one hides it and lets the command
    // unwind before the program ends.
    class CommandScope
    {
    public:
        explicit CommandScope(Form1& form)
            : m_form(form)
        {
            ++m_form.m_runningCommands;
        }
        ~CommandScope()
        {
            if (--m_form.m_runningCommands == 0)
                m_form.quitIfStopped();
        }
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        Form1& m_form;
    };

    void buildControls();
    void applyButtonFonts();
    void wireHandlers();
    void centreOnScreen();
    void refreshCursors();
    void restoreOutputOptions(GuardedCommand& cmd);
    void optionClickBehaviour();
    void removeSelectedEntry();
    void appendEntry(const std::string& text);
    // Runs an unguarded handler: a runtime failure there is reported, never let into Qt's event loop.
    template <typename F> void unguarded(F&& handler)
    {
        try {
            std::forward<F>(handler)();
        } catch (...) {
            unguardedFailure();
        }
    }
    void unguardedFailure();
    void quitIfStopped();

    Form1Services m_services;
    QtYielder m_yielder;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ConversionRun> m_conversion;
    FileList m_list;
    DragReorder m_drag;
    ListView1* m_listView = nullptr;
    int m_mousePointer = 0;
    int m_runningCommands = 0;
    bool m_restoringOptions = false;
    std::optional<QCursor> m_handCursor;
    std::string m_lastFolderDotPath;
    std::string m_lastFolderPath;
};

} // namespace papyrant
