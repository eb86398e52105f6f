#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct libdeflate_compressor;

namespace papyrant {

class ByteSink;

// Writes the objects of a PDF file in one pass: numbers are handed out first and objects written in any
// order, each once; finish() writes the cross-reference table and the trailer. Knows nothing of pages or
// fonts. Streams are compressed and written on a thread of its own, so that laying out the next page and
// compressing the last one share the machine's cores; at most a few pages wait in between, so memory stays
// bounded.
class PdfWriter
{
public:
    // Dense: the level that keeps long print-outs as small as those of the general-purpose writer before this
    // one, still off the critical path on a second core. Fast: for the font programs and maps and the first
    // pages, most of a short print-out, where it costs 3% in size and makes a batch of short files 1.6 times
    // as fast (bench/padprint.sh, bench/convert.sh).
    enum class Compression
    {
        None,
        Fast,
        Dense,
    };
    static constexpr int kFastLevel = 1;
    static constexpr int kDenseLevel = 6;

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
    // Writes the cross-reference table and trailer; false when any write failed or an object is missing.
    bool finish(int catalog, int info);
    // Whether the bytes have been written well so far.
    bool ok() const;

private:
    struct Chunk
    {
        int number = 0; // the object that starts here, 0 for none
        std::string head; // bytes before the data; for a compressed stream, the dictionary entries
        std::string data;
        Compression compression = Compression::None;
    };

    void enqueue(Chunk&& chunk);
    void drain();
    void work();
    void writeChunk(Chunk& chunk);
    void put(std::string_view bytes);

    ByteSink& m_sink;
    int m_objects = 0;
    // Shared with the worker, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_failed = false;
    // The worker's own.
    libdeflate_compressor* m_fast = nullptr;
    libdeflate_compressor* m_dense = nullptr;
    std::uint64_t m_written = 0;
    std::vector<std::pair<int, std::uint64_t>> m_offsets;
    std::string m_compressed;
    bool m_writeFailed = false;
    std::thread m_worker;
};

} // namespace papyrant
