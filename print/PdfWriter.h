#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct libdeflate_compressor;

namespace papyrant {

class ByteSink;

// Writes the objects of a PDF file in one pass: numbers are handed out first and objects written in any
// order, each once; finish() writes the cross-reference table and the trailer. Knows nothing of pages or
// fonts.
class PdfWriter
{
public:
    // Level 1 is where deflate's time and the file's size balance best for print-outs (bench/padprint.sh).
    static constexpr int kCompressionLevel = 1;

    explicit PdfWriter(ByteSink& sink);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // A number for an object written later.
    int reserve();
    // Writes "N 0 obj", the dictionary or other body, and "endobj".
    void writeObject(int number, std::string_view body);
    // Writes a stream object: `dictionary` holds the entries besides /Length and /Filter (may be empty).
    void writeStream(int number, std::string_view dictionary, std::string_view data, bool compress = true);
    // Writes the cross-reference table and trailer; false when any write failed or an object is missing.
    bool finish(int catalog, int info);
    bool ok() const
    {
        return !m_failed;
    }

private:
    void put(std::string_view bytes);
    void beginObject(int number);
    std::string_view compress(std::string_view data);

    ByteSink& m_sink;
    libdeflate_compressor* m_compressor = nullptr;
    std::vector<std::uint64_t> m_offsets; // by object number; 0 while not written
    std::uint64_t m_written = 0;
    std::string m_compressed;
    bool m_failed = false;
};

} // namespace papyrant
