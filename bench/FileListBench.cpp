// The job list under 100,000 entries: adding them one by one through the list the commands add to, with the
// list control showing them; IsInList over all of them; scrolling; removing; and the memory each entry costs
// beyond its text. Prints "filelist.FIGURE: VALUE UNIT" lines.
#include "filelist/FileList.h"
#include "filelist/gui/ListView1.h"

#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // large blocks are mapped, not in the arena
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    constexpr int kEntries = 100000;

    papyrant::FileList list;
    papyrant::ListView1 view(list);
    view.addColumn(QStringLiteral("XML File(s)"));
    view.resize(520, 170);
    view.show();
    QApplication::processEvents();

    std::vector<std::string> paths;
    paths.reserve(kEntries);
    std::size_t textBytes = 0;
    for (int i = 0; i < kEntries; ++i) {
        paths.push_back(
            "/home/user/Documents/exports/batch-" + std::to_string(i / 1000) + "/record-" + std::to_string(i) + ".xml");
        textBytes += paths.back().size();
    }

    const std::size_t heapBefore = heapInUse();
    auto start = Clock::now();
    for (const std::string& path : paths)
        list.add(path);
    QApplication::processEvents();
    const double addMs = msSince(start);
    const std::size_t heapAfter = heapInUse();

    start = Clock::now();
    bool found = false;
    for (int i = 0; i < 10; ++i)
        found |= papyrant::IsInList(list, "/not/in/the/list.xml");
    const double isInListMs = msSince(start) / 10;

    start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() * i / 50);
        view.repaint();
    }
    const double scrollMs = msSince(start) / 50;

    start = Clock::now();
    for (int i = 0; i < 100; ++i)
        list.remove(static_cast<std::size_t>(1 + (i * 997) % (list.count() - 1)));
    QApplication::processEvents();
    const double removeMs = msSince(start) / 100;

    const double perEntry = (static_cast<double>(heapAfter) - static_cast<double>(heapBefore) - textBytes) / kEntries;
    std::printf("filelist.add_100k: %.0f ms\n", addMs);
    std::printf("filelist.is_in_list_100k: %.2f ms\n", isInListMs);
    std::printf("filelist.scroll_repaint: %.2f ms\n", scrollMs);
    std::printf("filelist.remove_one_of_100k: %.3f ms\n", removeMs);
    std::printf("filelist.bytes_per_entry_beyond_text: %.0f bytes\n", perEntry);
    return found ? 1 : 0;
}
