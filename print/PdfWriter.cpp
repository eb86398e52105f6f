#include "print/PdfWriter.h"

#include "print/ByteSink.h"
#include "print/WorkerPool.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <libdeflate.h>
#include <memory>
#include <thread>

namespace papyrant {

namespace {

// Chunks (two a page) laid out ahead of the writer at most; once that many wait, the layout waits until no
// more than kResumeQueued do, so that the two threads do not wake each other for every chunk.
constexpr std::size_t kMaxQueued = 16;
constexpr std::size_t kResumeQueued = kMaxQueued / 4;
// The pages of a long print-out wait for a worker until a few have gathered, and a second worker is called only
// when the first falls well behind: a worker called for every page sleeps again once it has compressed it, and
// two workers pass the turn to write between them on every page; either way the threads wake each other some
// thousands of times a second.
constexpr std::size_t kGatherQueued = kMaxQueued / 2;
constexpr std::size_t kBehindQueued = kMaxQueued * 3 / 4;
// The cross-reference table has ten digits for an offset.
constexpr std::uint64_t kMaxOffset = 9999999999ull;

std::string objectHead(int number)
{
    return std::to_string(number) + " 0 obj\n";
}

struct FreeCompressor
{
    void operator()(libdeflate_compressor* compressor) const
    {
        libdeflate_free_compressor(compressor);
    }
};
using Compressor = std::unique_ptr<libdeflate_compressor, FreeCompressor>;

// Each thread's compressor and output buffer, made when it first compresses and kept for the next documents.
struct ThreadCompression
{
    Compressor compressor;
    std::string buffer;

    libdeflate_compressor* get()
    {
        if (!compressor)
            compressor.reset(libdeflate_alloc_compressor(PdfWriter::kLevel));
        return compressor.get();
    }
};

thread_local ThreadCompression t_compression;

} // namespace

std::size_t PdfWriter::machineWorkers()
{
    // The second keeps up with a fast layout on a machine with cores to spare. On two cores the layout and one
    // worker fill the machine, and a second only takes turns from them: with the other core busy, print-outs
    // took a fifth longer with it (bench/padprint.sh, short lines).
    static const std::size_t workers = std::thread::hardware_concurrency() > 2 ? 2 : 1;
    return workers;
}

PdfWriter::PdfWriter(ByteSink& sink, std::size_t workers)
    : m_sink(sink)
    , m_maxWorkers(std::clamp<std::size_t>(workers, 1, 2))
{
    // The second line's bytes above 127 tell transfer programs that the file is binary.
    enqueue(Chunk { 0, {}, "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", Compression::None });
}

PdfWriter::~PdfWriter()
{
    // Workers may hold this writer's chunks: what is left is dropped, and the workers let go of first.
    std::unique_lock lock(m_mutex);
    m_failed = true;
    m_queue.clear();
    m_changed.wait(lock, [this] { return m_workers == 0; });
}

int PdfWriter::reserve()
{
    return ++m_objects;
}

bool PdfWriter::ok() const
{
    std::lock_guard lock(m_mutex);
    return !m_failed;
}

std::string PdfWriter::problem() const
{
    std::lock_guard lock(m_mutex);
    return m_problem;
}

void PdfWriter::fail(std::string problem)
{
    std::lock_guard lock(m_mutex);
    if (!m_failed)
        m_problem = std::move(problem);
    m_failed = true;
    m_queue.clear();
}

void PdfWriter::enqueue(Chunk&& chunk)
{
    std::unique_lock lock(m_mutex);
    if (m_queue.size() >= kMaxQueued)
        m_changed.wait(lock, [this] { return m_queue.size() <= kResumeQueued || m_failed; });
    if (m_failed)
        return;
    const bool compressed = chunk.compression != Compression::None;
    const bool dense = chunk.compression == Compression::Dense;
    chunk.sequence = m_sequences++;
    m_queue.push_back(std::move(chunk));
    // A worker is called for a chunk to compress, and the small ones queued before it go along in the same
    // turn: waking a thread for every page's dictionary would cost as much as writing it. A second worker
    // joins when the first falls behind on the pages of a long print-out; a short one's few chunks are not
    // worth the two passing the turn to write between them.
    const bool call = m_workers == 0 ? (compressed && !dense) || m_queue.size() >= kGatherQueued
                                     : dense && m_workers < m_maxWorkers && m_queue.size() >= kBehindQueued;
    if (call)
        schedule(lock);
}

void PdfWriter::schedule(std::unique_lock<std::mutex>& lock)
{
    ++m_workers;
    lock.unlock();
    if (!WorkerPool::shared().post([this] { writeNext(); })) {
        // No thread to be had: this one writes what is queued.
        while (writeOne()) { }
    }
    lock.lock();
}

void PdfWriter::writeNext()
{
    // One chunk per turn while other documents wait for the workers, so that they take turns; with none
    // waiting, this thread goes on rather than hand the next chunk to another.
    WorkerPool& pool = WorkerPool::shared();
    while (writeOne()) {
        if (!pool.hasWaitingTasks())
            continue;
        if (!pool.post([this] { writeNext(); })) {
            while (writeOne()) { }
        }
        return;
    }
}

bool PdfWriter::writeOne()
{
    std::unique_lock lock(m_mutex);
    if (m_queue.empty()) {
        --m_workers;
        m_changed.notify_all();
        return false;
    }
    Chunk chunk = std::move(m_queue.front());
    m_queue.pop_front();
    const bool room = m_queue.size() <= kResumeQueued;
    lock.unlock();
    if (room)
        m_changed.notify_all();
    // Compressed on whichever worker took the chunk, written in the order the chunks came.
    std::string_view compressed;
    std::string problem;
    try {
        if (chunk.compression != Compression::None)
            compressed = compress(chunk, problem);
    } catch (const std::exception& error) {
        problem = std::string("the PDF could not be written: ") + error.what();
    }
    lock.lock();
    m_turn.wait(lock, [&] { return m_nextToWrite == chunk.sequence; });
    const bool write = problem.empty() && !m_failed;
    lock.unlock();
    // Only the worker whose turn it is touches the file and the offsets; the turn passes under the lock.
    if (write) {
        try {
            writeChunk(chunk, compressed);
        } catch (const std::exception& error) {
            problem = std::string("the PDF could not be written: ") + error.what();
        }
    }
    const bool writeFailed = m_written.failed;
    lock.lock();
    ++m_nextToWrite;
    if (!problem.empty() && !m_failed)
        m_problem = std::move(problem);
    if ((writeFailed || !m_problem.empty()) && !m_failed) {
        m_failed = true;
        m_queue.clear();
        m_changed.notify_all();
    }
    m_turn.notify_all();
    if (m_queue.empty()) {
        --m_workers;
        m_changed.notify_all();
        return false;
    }
    return true;
}

void PdfWriter::drain()
{
    std::unique_lock lock(m_mutex);
    if (m_workers == 0 && !m_queue.empty())
        schedule(lock);
    m_changed.wait(lock, [this] { return m_queue.empty() && m_workers == 0; });
}

void PdfWriter::put(std::string_view bytes)
{
    if (m_written.failed)
        return;
    if (!m_sink.write(bytes.data(), bytes.size()))
        m_written.failed = true;
    m_written.bytes += bytes.size();
}

std::string_view PdfWriter::compress(const Chunk& chunk, std::string& problem)
{
    libdeflate_compressor* compressor = t_compression.get();
    if (!compressor) {
        problem = "out of memory for compressing the PDF";
        return {};
    }
    std::string& compressed = t_compression.buffer;
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor, chunk.data.size());
    if (compressed.size() < bound)
        compressed.resize(bound);
    const std::size_t size = libdeflate_zlib_compress(
        compressor, chunk.data.data(), chunk.data.size(), compressed.data(), compressed.size());
    if (size == 0)
        problem = "a part of the PDF could not be compressed";
    return std::string_view(compressed.data(), size);
}

void PdfWriter::writeChunk(const Chunk& chunk, std::string_view compressed)
{
    if (chunk.number > 0)
        m_written.offsets.emplace_back(chunk.number, m_written.bytes);
    if (chunk.compression == Compression::None) {
        put(chunk.head);
        put(chunk.data);
        return;
    }
    put(objectHead(chunk.number));
    put("<</Length " + std::to_string(compressed.size()) + "/Filter/FlateDecode");
    put(chunk.head);
    put(">>\nstream\n");
    put(compressed);
    put("\nendstream\nendobj\n");
}

void PdfWriter::writeObject(int number, std::string_view body)
{
    std::string bytes = objectHead(number);
    bytes.append(body);
    bytes += "\nendobj\n";
    enqueue(Chunk { number, {}, std::move(bytes), Compression::None });
}

void PdfWriter::writeStream(int number, std::string_view dictionary, std::string&& data, Compression compression)
{
    if (compression != Compression::None) {
        enqueue(Chunk { number, std::string(dictionary), std::move(data), compression });
    } else {
        std::string head = objectHead(number) + "<</Length " + std::to_string(data.size());
        head.append(dictionary);
        head += ">>\nstream\n";
        data += "\nendstream\nendobj\n";
        enqueue(Chunk { number, std::move(head), std::move(data), Compression::None });
    }
    data.clear();
}

bool PdfWriter::finish(int catalog, std::string_view trailer)
{
    drain();
    if (!ok())
        return false;
    // The worker is idle with nothing queued: its offsets are ours to read.
    std::vector<std::uint64_t> offsets(static_cast<std::size_t>(m_objects) + 1, 0);
    std::vector<bool> written(offsets.size(), false);
    for (const auto& [number, offset] : m_written.offsets) {
        offsets[static_cast<std::size_t>(number)] = offset;
        written[static_cast<std::size_t>(number)] = true;
    }
    if (!std::all_of(written.begin() + 1, written.end(), [](bool done) { return done; })) {
        fail("an object of the PDF was never written");
        return false;
    }
    if (m_written.bytes > kMaxOffset) {
        fail("the PDF would be larger than its cross-reference table can address (10 GB)");
        return false;
    }
    std::string table = "xref\n0 " + std::to_string(offsets.size()) + "\n0000000000 65535 f \n";
    char entry[24];
    for (std::size_t number = 1; number < offsets.size(); ++number) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets[number]));
        table += entry;
    }
    table += "trailer\n<</Size " + std::to_string(offsets.size()) + "/Root " + std::to_string(catalog) + " 0 R";
    table.append(trailer);
    table += ">>\nstartxref\n" + std::to_string(m_written.bytes) + "\n%%EOF\n";
    enqueue(Chunk { 0, {}, std::move(table), Compression::None });
    drain();
    return ok();
}

} // namespace papyrant
