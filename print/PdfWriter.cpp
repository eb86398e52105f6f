#include "print/PdfWriter.h"

#include "print/ByteSink.h"

#include <algorithm>
#include <cstdio>
#include <libdeflate.h>

namespace papyrant {

namespace {

// Pages laid out ahead of the writer at most.
constexpr std::size_t kMaxQueued = 8;

std::string objectHead(int number)
{
    return std::to_string(number) + " 0 obj\n";
}

} // namespace

PdfWriter::PdfWriter(ByteSink& sink)
    : m_sink(sink)
    , m_fast(libdeflate_alloc_compressor(kFastLevel))
    , m_dense(libdeflate_alloc_compressor(kDenseLevel))
{
    m_worker = std::thread([this] { work(); });
    // The second line's bytes above 127 tell transfer programs that the file is binary.
    enqueue(Chunk { 0, {}, "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", Compression::None });
}

PdfWriter::~PdfWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_worker.join();
    libdeflate_free_compressor(m_fast);
    libdeflate_free_compressor(m_dense);
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

void PdfWriter::enqueue(Chunk&& chunk)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kMaxQueued; });
    m_queue.push_back(std::move(chunk));
    lock.unlock();
    m_changed.notify_all();
}

void PdfWriter::drain()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void PdfWriter::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            return;
        Chunk chunk = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        m_changed.notify_all();
        writeChunk(chunk);
        lock.lock();
        m_busy = false;
        m_failed = m_failed || m_writeFailed;
        m_changed.notify_all();
    }
}

void PdfWriter::put(std::string_view bytes)
{
    if (m_writeFailed)
        return;
    if (!m_sink.write(bytes.data(), bytes.size()))
        m_writeFailed = true;
    m_written += bytes.size();
}

void PdfWriter::writeChunk(Chunk& chunk)
{
    if (chunk.number > 0)
        m_offsets.emplace_back(chunk.number, m_written);
    libdeflate_compressor* compressor = chunk.compression == Compression::Dense ? m_dense : m_fast;
    if (chunk.compression == Compression::None || !compressor) {
        put(chunk.head);
        put(chunk.data);
        return;
    }
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor, chunk.data.size());
    if (m_compressed.size() < bound)
        m_compressed.resize(bound);
    const std::size_t size = libdeflate_zlib_compress(
        compressor, chunk.data.data(), chunk.data.size(), m_compressed.data(), m_compressed.size());
    put(objectHead(chunk.number));
    put("<</Length " + std::to_string(size) + "/Filter/FlateDecode");
    put(chunk.head);
    put(">>\nstream\n");
    put(std::string_view(m_compressed.data(), size));
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

bool PdfWriter::finish(int catalog, int info)
{
    drain();
    // The worker is idle with nothing queued: its offsets are ours to read.
    std::vector<std::uint64_t> offsets(static_cast<std::size_t>(m_objects) + 1, 0);
    std::vector<bool> written(offsets.size(), false);
    for (const auto& [number, offset] : m_offsets) {
        offsets[static_cast<std::size_t>(number)] = offset;
        written[static_cast<std::size_t>(number)] = true;
    }
    if (!std::all_of(written.begin() + 1, written.end(), [](bool done) { return done; }))
        return false;
    std::string table = "xref\n0 " + std::to_string(offsets.size()) + "\n0000000000 65535 f \n";
    char entry[24];
    for (std::size_t number = 1; number < offsets.size(); ++number) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets[number]));
        table += entry;
    }
    table += "trailer\n<</Size " + std::to_string(offsets.size()) + "/Root " + std::to_string(catalog) + " 0 R/Info "
        + std::to_string(info) + " 0 R>>\nstartxref\n" + std::to_string(m_written) + "\n%%EOF\n";
    enqueue(Chunk { 0, {}, std::move(table), Compression::None });
    drain();
    return ok();
}

} // namespace papyrant
