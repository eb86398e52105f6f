#include "print/PdfWriter.h"

#include "print/ByteSink.h"

#include <cstdio>
#include <libdeflate.h>

namespace papyrant {

PdfWriter::PdfWriter(ByteSink& sink)
    : m_sink(sink)
    , m_compressor(libdeflate_alloc_compressor(kCompressionLevel))
    , m_offsets(1, 0)
{
    // The second line's bytes above 127 tell transfer programs that the file is binary.
    put("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

PdfWriter::~PdfWriter()
{
    libdeflate_free_compressor(m_compressor);
}

void PdfWriter::put(std::string_view bytes)
{
    if (m_failed)
        return;
    if (!m_sink.write(bytes.data(), bytes.size()))
        m_failed = true;
    m_written += bytes.size();
}

int PdfWriter::reserve()
{
    m_offsets.push_back(0);
    return static_cast<int>(m_offsets.size() - 1);
}

void PdfWriter::beginObject(int number)
{
    m_offsets[static_cast<std::size_t>(number)] = m_written;
    char head[32];
    const int length = std::snprintf(head, sizeof head, "%d 0 obj\n", number);
    put(std::string_view(head, static_cast<std::size_t>(length)));
}

void PdfWriter::writeObject(int number, std::string_view body)
{
    beginObject(number);
    put(body);
    put("\nendobj\n");
}

std::string_view PdfWriter::compress(std::string_view data)
{
    m_compressed.resize(libdeflate_zlib_compress_bound(m_compressor, data.size()));
    const std::size_t size
        = libdeflate_zlib_compress(m_compressor, data.data(), data.size(), m_compressed.data(), m_compressed.size());
    return std::string_view(m_compressed.data(), size);
}

void PdfWriter::writeStream(int number, std::string_view dictionary, std::string_view data, bool compressed)
{
    const std::string_view body = compressed && m_compressor ? compress(data) : data;
    beginObject(number);
    char length[64];
    const int size = std::snprintf(
        length, sizeof length, "<</Length %zu%s", body.size(), body.data() == data.data() ? "" : "/Filter/FlateDecode");
    put(std::string_view(length, static_cast<std::size_t>(size)));
    put(dictionary);
    put(">>\nstream\n");
    put(body);
    put("\nendstream\nendobj\n");
}

bool PdfWriter::finish(int catalog, int info)
{
    for (std::size_t number = 1; number < m_offsets.size(); ++number) {
        if (m_offsets[number] == 0)
            return false;
    }
    const std::uint64_t xref = m_written;
    std::string table = "xref\n0 " + std::to_string(m_offsets.size()) + "\n0000000000 65535 f \n";
    char entry[24];
    for (std::size_t number = 1; number < m_offsets.size(); ++number) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(m_offsets[number]));
        table += entry;
    }
    table += "trailer\n<</Size " + std::to_string(m_offsets.size()) + "/Root " + std::to_string(catalog) + " 0 R/Info "
        + std::to_string(info) + " 0 R>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    put(table);
    return !m_failed;
}

} // namespace papyrant
