#pragma once

#include <condition_variable>
#include <cstddef>
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
// fonts. Streams are compressed on the process's worker pool, up to two chunks at once (one on a machine of
// two cores, which the layout and one worker fill), and written in the order they came, so that laying out the
// next page and compressing the last ones share the machine's cores; at most a few pages wait in between, so
// memory stays bounded. When no worker can be had, the caller's thread does the work.
// Once anything fails, the rest is dropped and problem() says why.
class PdfWriter
{
public:
    // Fast: for the font programs and maps and the first pages, most of a short print-out, compressed as soon
    // as they come. Dense: for the pages of a long print-out, gathered for a worker on a second core when there
    // is one. Both at level 1: on pages of text it takes three fifths of level 4's time for an eighth more in
    // size, and compressing is the largest cost of a long print-out, on a loaded machine all the more, when the
    // writer gets no second core (bench/padprint.sh, bench/xmlview.sh).
    enum class Compression
    {
        None,
        Fast,
        Dense,
    };
    static constexpr int kLevel = 1;
    // Two workers on a machine of more than two cores, else one.
    static std::size_t machineWorkers();

    // With `workers`, the most that compress this document's chunks at once: 1 or 2, the machine's share
    // unless given.
    explicit PdfWriter(ByteSink& sink, std::size_t workers = machineWorkers());
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
        std::uint64_t sequence = 0; // the order of writing
    };

    void enqueue(Chunk&& chunk);
    void schedule(std::unique_lock<std::mutex>& lock);
    void writeNext();
    bool writeOne();
    void drain();
    void fail(std::string problem);
    // The chunk's data compressed, in this thread's buffer; empty with `problem` set when that fails.
    static std::string_view compress(const Chunk& chunk, std::string& problem);
    void writeChunk(const Chunk& chunk, std::string_view compressed);
    void put(std::string_view bytes);

    ByteSink& m_sink;
    const std::size_t m_maxWorkers;
    int m_objects = 0;
    // Shared with the workers, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed; // room in the queue, a worker done
    std::condition_variable m_turn; // a chunk written
    std::deque<Chunk> m_queue;
    std::size_t m_workers = 0; // threads with this writer's chunks in hand, or a turn in the pool's queue
    std::uint64_t m_sequences = 0; // chunks queued so far
    std::uint64_t m_nextToWrite = 0; // the chunk whose turn it is to be written
    bool m_failed = false;
    std::string m_problem;
    // The file so far: touched only by the worker whose turn it is to write, which hands the turn on under
    // m_mutex.
    struct Written
    {
        std::uint64_t bytes = 0;
        std::vector<std::pair<int, std::uint64_t>> offsets;
        bool failed = false;
    };
    Written m_written;
};

} // namespace papyrant
