#include "print/LinePipeline.h"

#include "print/PrintLine.h"
#include "print/XmlTextView.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace papyrant {

namespace {

// Enough lines that handing a batch over costs little against laying it out, few enough that the layout starts
// soon and the batches in flight stay small.
constexpr std::size_t kBatchBytes = 32 * 1024;
constexpr std::size_t kBatchLines = 1024;
constexpr std::size_t kBatches = 4;

// Printable lines copied out of the reader's buffers: their texts end to end, their spans end to end.
class LineBatch
{
public:
    void add(const PrintLine& line)
    {
        m_text.append(line.text);
        m_spans.insert(m_spans.end(), line.spans.begin(), line.spans.end());
        m_lines.push_back({ m_text.size(), m_spans.size(), line.sourceLine });
    }

    bool full() const
    {
        return m_text.size() >= kBatchBytes || m_lines.size() >= kBatchLines;
    }

    bool empty() const
    {
        return m_lines.empty();
    }

    void handOut(const PrintableLines::LineSink& take) const
    {
        std::size_t textBegin = 0;
        std::size_t spansBegin = 0;
        for (const Line& line : m_lines) {
            take(PrintLine { std::string_view(m_text).substr(textBegin, line.textEnd - textBegin),
                std::span<const StyleSpan>(m_spans.data() + spansBegin, line.spansEnd - spansBegin), line.sourceLine });
            textBegin = line.textEnd;
            spansBegin = line.spansEnd;
        }
    }

    void clear()
    {
        m_text.clear();
        m_spans.clear();
        m_lines.clear();
    }

private:
    struct Line
    {
        std::size_t textEnd;
        std::size_t spansEnd;
        std::uint64_t sourceLine;
    };
    std::string m_text;
    std::vector<StyleSpan> m_spans;
    std::vector<Line> m_lines;
};

// The batches between the reading thread and the caller's: filled ones in order one way, emptied ones back the
// other, never more than kBatches in all.
class BatchQueue
{
public:
    // The reader's next batch to fill; waits while all are in use. Null once the caller has given up.
    std::unique_ptr<LineBatch> emptyBatch()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_cancelled || !m_emptied.empty() || m_made < kBatches; });
        if (m_cancelled)
            return nullptr;
        if (m_emptied.empty()) {
            ++m_made;
            return std::make_unique<LineBatch>();
        }
        std::unique_ptr<LineBatch> batch = std::move(m_emptied.back());
        m_emptied.pop_back();
        return batch;
    }

    void handOver(std::unique_ptr<LineBatch> batch)
    {
        const std::lock_guard lock(m_mutex);
        m_filled.push_back(std::move(batch));
        m_changed.notify_all();
    }

    // The reader is done, with what it threw if anything.
    void end(std::exception_ptr error)
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        m_error = std::move(error);
        m_changed.notify_all();
    }

    bool cancelled()
    {
        const std::lock_guard lock(m_mutex);
        return m_cancelled;
    }

    // The caller's next batch to take, in the order filled; null when the reader is done and all are taken.
    std::unique_ptr<LineBatch> filledBatch()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_filledTaken < m_filled.size() || m_ended; });
        if (m_filledTaken == m_filled.size())
            return nullptr;
        std::unique_ptr<LineBatch> batch = std::move(m_filled[m_filledTaken++]);
        if (m_filledTaken == m_filled.size()) {
            m_filled.clear();
            m_filledTaken = 0;
        }
        return batch;
    }

    void giveBack(std::unique_ptr<LineBatch> batch)
    {
        batch->clear();
        const std::lock_guard lock(m_mutex);
        m_emptied.push_back(std::move(batch));
        m_changed.notify_all();
    }

    void cancel()
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
    }

    // What the reader threw, unless the caller gave up first (then the caller's own reason stands).
    std::exception_ptr error()
    {
        const std::lock_guard lock(m_mutex);
        return m_cancelled ? nullptr : m_error;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<LineBatch>> m_filled;
    std::size_t m_filledTaken = 0;
    std::vector<std::unique_ptr<LineBatch>> m_emptied;
    std::size_t m_made = 0;
    bool m_ended = false;
    bool m_cancelled = false;
    std::exception_ptr m_error;
};

void readInto(BatchQueue& queue, TextDecoder& decoder, const PrintStyle& style)
{
    try {
        std::unique_ptr<LineBatch> batch = queue.emptyBatch();
        PrintableLines lines([&queue, &batch](const PrintLine& line) {
            if (!batch)
                return; // the caller has given up
            batch->add(line);
            if (batch->full()) {
                queue.handOver(std::move(batch));
                batch = queue.emptyBatch();
            }
        });
        if (batch)
            readStyledText(decoder, style, lines, [&queue] { return !queue.cancelled(); });
        if (batch && !batch->empty())
            queue.handOver(std::move(batch));
        queue.end(nullptr);
    } catch (...) {
        queue.end(std::current_exception());
    }
}

// Gives up on the reader and waits for its thread, however the caller leaves.
class ReaderThread
{
public:
    ReaderThread(BatchQueue& queue, std::thread thread)
        : m_queue(queue)
        , m_thread(std::move(thread))
    {
    }
    ~ReaderThread()
    {
        m_queue.cancel();
        m_thread.join();
    }
    ReaderThread(const ReaderThread&) = delete;
    ReaderThread& operator=(const ReaderThread&) = delete;

private:
    BatchQueue& m_queue;
    std::thread m_thread;
};

} // namespace

bool readStyledTextAside(TextDecoder& decoder, const PrintStyle& style, const PrintableLines::LineSink& take,
    const std::function<bool()>& keepGoing)
{
    BatchQueue queue;
    std::thread thread;
    try {
        thread = std::thread(readInto, std::ref(queue), std::ref(decoder), std::cref(style));
    } catch (const std::system_error&) {
        return false;
    }
    std::exception_ptr error;
    {
        const ReaderThread reader(queue, std::move(thread));
        while (std::unique_ptr<LineBatch> batch = queue.filledBatch()) {
            batch->handOut(take);
            queue.giveBack(std::move(batch));
            if (!keepGoing()) {
                queue.cancel();
                break;
            }
        }
        error = queue.error();
    }
    if (error)
        std::rethrow_exception(error);
    return true;
}

} // namespace papyrant
