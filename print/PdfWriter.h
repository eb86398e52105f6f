#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace papyrant {

class ByteSink;

// Writes the objects of a PDF file in one pass: numbers are handed out first and objects written in any
// order, each once; finish() writes the cross-reference table and the trailer. Knows nothing of pages or
// fonts. Streams are compressed and written on the process's worker pool, one chunk at a time and in order,
// so that laying out the next page and compressing the last one share the machine's cores; at most a few
// pages wait in between, so memory stays bounded. When no worker can be had, the caller's thread does the work.
// Once anything fails, the rest is dropped and problem() says why.
class PdfWriter
{
public:
    // Dense: for the pages of a long print-out, on a second core when there is one. Level 4 costs a fifth less
    // time than 6 on pages of text for 4% in size; a loaded machine gives the writer no second core, and then
    // it is the largest cost of a long print-out (bench/padprint.sh). Fast: for the font programs and maps and
    // the first pages, most of a short print-out, where it costs 3% in size and makes a batch of short files
    // 1.6 times as fast (bench/padprint.sh, bench/convert.sh).
    enum class Compression
    {
        None,
        Fast,
        Dense,
    };
    static constexpr int kFastLevel = 1;
    static constexpr int kDenseLevel = 4;

    explicit PdfWriter(ByteSink& sink);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // A number for an object written later.
    int reserve();
    // Writes "N 0 obj", the dictionary or other body, and "endobj".
    void writeObject(int number, std::string_view body);
    // Writes a stream object: `dictionary` holds the entries besides /Length and /Filter (may be empty). The
    // data is taken, and `data` left empty.
    void writeStream(
        int number, std::string_view dictionary, std::string&& data, Compression compression = Compression::Fast);
    // Writes the cross-reference table and trailer (with `trailer`, the trailer's entries besides /Size and
    // /Root); false when anything failed or an object is missing.
    bool finish(int catalog, std::string_view trailer);
    // Whether the bytes have been written well so far.
    bool ok() const;
    // Why writing failed, for a person; empty when the sink refused the bytes (its own error says more) or when
    // nothing failed.
    std::string problem() const;

private:
    struct Chunk
    {
        int number = 0; // the object that starts here, 0 for none
        std::string head; // bytes before the data; for a compressed stream, the dictionary entries
        std::string data;
        Compression compression = Compression::None;
    };

    void enqueue(Chunk&& chunk);
    void schedule(std::unique_lock<std::mutex>& lock);
    void writeNext();
    bool writeOne();
    void drain();
    void fail(std::string problem);
    void writeChunk(Chunk& chunk);
    void put(std::string_view bytes);

    ByteSink& m_sink;
    int m_objects = 0;
    // Shared with the worker, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    bool m_scheduled = false; // a worker has this writer's next chunk in hand or in its queue
    bool m_failed = false;
    std::string m_problem;
    // The worker's own, one worker at a time.
    std::uint64_t m_written = 0;
    std::vector<std::pair<int, std::uint64_t>> m_offsets;
    bool m_writeFailed = false;
};

} // namespace papyrant
