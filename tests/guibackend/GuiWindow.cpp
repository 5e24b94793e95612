#include "GuiWindow.h"

#include "graphwin/gravo.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace GuiTest
{
void GuiWindowTest::SetUp()
{
    session = std::make_unique<WizardSession>();
    ASSERT_EQ(session->Status(), 0);
    window = session->Window();
    windowDC = session->WindowDc();
    font = session->DefaultFont();
    context = session->Context();
}

void GuiWindowTest::TearDown()
{
    session.reset();
}

nk_command_buffer* GuiWindowTest::BeginCanvas()
{
    context->style.window.fixed_background = nk_style_item_hide();
    context->style.window.padding = nk_vec2(0, 0);
    context->style.window.border = 0;
    const bool open = nk_begin(context, "canvas", nk_rect(0, 0, Width, Height),
                               NK_WINDOW_NO_SCROLLBAR | NK_WINDOW_NO_INPUT) != 0;
    EXPECT_TRUE(open);
    return nk_window_get_canvas(context);
}

void GuiWindowTest::EndFrame()
{
    nk_end(context);
    RenderGui(nk_rgb(99, 99, 99));
}

DWORD GuiWindowTest::Pixel(int x, int y) const
{
    return TargetPixels(nullptr)[y * Width + x] & 0xFFFFFF;
}

int GuiWindowTest::CountPixels(int left, int top, int right, int bottom, DWORD colour) const
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += Pixel(x, y) == colour ? 1 : 0;
    return count;
}

std::wstring ArtifactPath(const wchar_t* fileName)
{
    const std::wstring folder = GRAVO_ARTIFACT_DIR;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"/" + fileName;
}

namespace
{
class PngStream
{
public:
    void Chunk(const char* type, const std::vector<std::uint8_t>& data)
    {
        Word(static_cast<std::uint32_t>(data.size()), bytes);
        std::vector<std::uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        bytes.insert(bytes.end(), body.begin(), body.end());
        Word(Crc(body), bytes);
    }

    static void Word(std::uint32_t value, std::vector<std::uint8_t>& out)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    std::vector<std::uint8_t> bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

private:
    static std::uint32_t Crc(const std::vector<std::uint8_t>& data)
    {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::uint8_t byte : data)
        {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return crc ^ 0xFFFFFFFFu;
    }
};

// A zlib stream of stored deflate blocks: no compression, so no compressor is needed.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out{0x78, 0x01};
    const size_t blockSize = 65535;
    for (size_t start = 0; start < raw.size() || start == 0; start += blockSize)
    {
        const size_t length = raw.size() - start < blockSize ? raw.size() - start : blockSize;
        out.push_back(start + length >= raw.size() ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + start, raw.begin() + start + length);
        if (raw.empty())
            break;
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw)
    {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PngStream::Word((b << 16) | a, out);
    return out;
}
} // namespace

bool WriteBackBufferPng(const std::wstring& path)
{
    const DWORD* pixels = TargetPixels(nullptr);
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<size_t>(Height) * (Width * 3 + 1));
    for (int y = 0; y < Height; ++y)
    {
        raw.push_back(0); // filter: none
        for (int x = 0; x < Width; ++x)
        {
            const DWORD word = pixels[y * Width + x];
            raw.push_back(static_cast<std::uint8_t>(word >> 16));
            raw.push_back(static_cast<std::uint8_t>(word >> 8));
            raw.push_back(static_cast<std::uint8_t>(word));
        }
    }
    PngStream png;
    std::vector<std::uint8_t> header;
    PngStream::Word(Width, header);
    PngStream::Word(Height, header);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, no filter, no interlace
    png.Chunk("IHDR", header);
    png.Chunk("IDAT", StoredZlib(raw));
    png.Chunk("IEND", {});

    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        return false;
    const bool written = fwrite(png.bytes.data(), 1, png.bytes.size(), file) == png.bytes.size();
    return fclose(file) == 0 && written;
}
} // namespace GuiTest
