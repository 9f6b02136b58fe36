#include "media/JpegDec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace kelvarn {

namespace {

// Natural position of each zig-zag index.
constexpr std::uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The same positions in a transposed block: the decoder stores coefficients transposed so that
// the inverse transform needs a single transpose.
constexpr std::array<std::uint8_t, 64> MakeTransposedZigzag() {
    std::array<std::uint8_t, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = static_cast<std::uint8_t>((kZigzag[k] % 8) * 8 + kZigzag[k] / 8);
    return t;
}
constexpr std::array<std::uint8_t, 64> kZigzagT = MakeTransposedZigzag();

constexpr int kFastBits = 9;
constexpr int kFastSize = 1 << kFastBits;

struct HuffmanTable {
    bool defined;
    std::uint16_t fast[kFastSize];    // (length << 8) | symbol for codes up to kFastBits long; 0 = none
    std::int16_t fastAc[kFastSize];   // AC run, size and value together when they fit in kFastBits
    std::uint32_t maxCode[18];        // first code past each length, left-aligned to 16 bits
    int delta[17];                    // symbol index = code + delta[length]
    std::uint8_t values[256];
    std::uint8_t largestValue;        // a DC table holding a value above 15 is refused, as the library does
};

// Builds the decoding tables; False for more than 256 codes or an over-subscribed code set.
bool BuildHuffman(HuffmanTable& t, const std::uint8_t counts[16], const std::uint8_t* symbols, int total) {
    std::memset(&t, 0, sizeof t);
    std::memcpy(t.values, symbols, static_cast<std::size_t>(total));
    t.largestValue = total ? *std::max_element(symbols, symbols + total) : 0;
    std::uint8_t sizes[256];
    std::uint16_t codes[256];
    std::uint32_t code = 0;
    int k = 0;
    for (int len = 1; len <= 16; ++len) {
        t.delta[len] = k - static_cast<int>(code);
        for (int i = 0; i < counts[len - 1]; ++i) {
            sizes[k] = static_cast<std::uint8_t>(len);
            codes[k++] = static_cast<std::uint16_t>(code++);
        }
        if (code > (1u << len)) return false;
        t.maxCode[len] = code << (16 - len);
        code <<= 1;
    }
    t.maxCode[17] = 0xFFFFFFFFu;
    for (int i = 0; i < k; ++i) {
        if (sizes[i] > kFastBits) continue;
        const int shift = kFastBits - sizes[i];
        const int first = codes[i] << shift;
        for (int j = 0; j < (1 << shift); ++j)
            t.fast[first + j] = static_cast<std::uint16_t>((sizes[i] << 8) | i);
    }
    // Short AC codes with their magnitude bits in one look-up.
    for (int i = 0; i < kFastSize; ++i) {
        if (!t.fast[i]) continue;
        const int len = t.fast[i] >> 8;
        const int rs = t.values[t.fast[i] & 255];
        const int run = rs >> 4;
        const int s = rs & 15;
        if (s == 0 || len + s > kFastBits) continue;
        int v = ((i << len) & (kFastSize - 1)) >> (kFastBits - s);
        if (v < (1 << (s - 1))) v += 1 - (1 << s);
        if (v >= -128 && v <= 127) t.fastAc[i] = static_cast<std::int16_t>(v * 256 + run * 16 + len + s);
    }
    t.defined = true;
    return true;
}

// Entropy-coded data, most significant bit first, with byte stuffing undone. At a marker or at the
// end of the input it feeds zero bits and counts them, so that decoding past the real data is noticed.
struct BitReader {
    const std::uint8_t* pos = nullptr;  // the next byte to take; at a marker, its first 0xFF
    const std::uint8_t* end = nullptr;
    std::uint64_t bits = 0;
    int count = 0;
    int padBits = 0;  // zero bits fed since the data stopped, all at the low end of `bits`

    void Reset(const std::uint8_t* p) {
        pos = p;
        bits = 0;
        count = 0;
        padBits = 0;
    }
    void Refill() {
        if (end - pos >= 8 && padBits == 0) {
            std::uint64_t v;
            std::memcpy(&v, pos, 8);
            // No 0xFF among the next eight bytes: take as many as fit at once.
            const std::uint64_t inv = ~v;
            if (((inv - 0x0101010101010101ull) & ~inv & 0x8080808080808080ull) == 0) {
                const int take = (64 - count) >> 3;
                const std::uint64_t be = __builtin_bswap64(v);
                bits |= (be >> (64 - 8 * take)) << (64 - 8 * take - count);
                count += 8 * take;
                pos += take;
                return;
            }
        }
        while (count <= 56) {
            std::uint32_t b = 0;
            if (padBits == 0 && pos < end) {
                b = *pos;
                if (b == 0xFF) {
                    // As libjpeg reads it: fill bytes 0xFF, then 0x00 makes a data byte 0xFF and
                    // anything else is a marker, where the data stops.
                    const std::uint8_t* q = pos + 1;
                    while (q < end && *q == 0xFF) ++q;
                    if (q < end && *q == 0) {
                        pos = q + 1;
                    } else {
                        padBits += 8;
                        b = 0;
                    }
                } else {
                    ++pos;
                }
            } else {
                padBits += 8;
            }
            bits |= static_cast<std::uint64_t>(b) << (56 - count);
            count += 8;
        }
    }
    void Ensure(int n) {
        if (count < n) Refill();
    }
    std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(bits >> (64 - n)); }
    void Skip(int n) {
        bits <<= n;
        count -= n;
    }
    // Bits taken beyond the real data: the data stopped at a marker or at the end of the input
    // before the blocks it should code were complete.
    bool Overran() const { return count < padBits; }
    // Real data bits not yet taken; 8 or more are whole bytes the blocks did not use.
    int DataBitsLeft() const { return count - padBits; }
};

inline int Extend(int v, int s) { return v < (1 << (s - 1)) ? v + 1 - (1 << s) : v; }

// Decodes one Huffman symbol; -1 for a code the table does not hold.
inline int DecodeSymbol(BitReader& br, const HuffmanTable& t) {
    br.Ensure(16);
    const std::uint32_t c = br.Peek(16);
    const std::uint16_t f = t.fast[c >> (16 - kFastBits)];
    if (f) {
        br.Skip(f >> 8);
        return t.values[f & 255];
    }
    int len = kFastBits + 1;
    while (c >= t.maxCode[len]) ++len;
    if (len > 16) return -1;
    const int index = static_cast<int>(c >> (16 - len)) + t.delta[len];
    if (index < 0 || index > 255) return -1;
    br.Skip(len);
    return t.values[index];
}

// AAN scale factors: cos(k * pi / 16) * sqrt(2), 1 for k = 0.
constexpr float kAan[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                           1.0f, 0.785694958f, 0.541196100f, 0.275899379f};

// One 1-D pass of the floating-point AAN inverse transform over eight columns at once: in[k] is
// row k of the block, out[k] row k of the result.
inline void IdctPass(const float* in, float* out) {
    float t0[8], t1[8], t2[8], t3[8], t4[8], t5[8], t6[8], t7[8];
    for (int i = 0; i < 8; ++i) {
        const float a0 = in[0 * 8 + i], a1 = in[2 * 8 + i], a2 = in[4 * 8 + i], a3 = in[6 * 8 + i];
        const float e10 = a0 + a2, e11 = a0 - a2;
        const float e13 = a1 + a3;
        const float e12 = (a1 - a3) * 1.414213562f - e13;
        t0[i] = e10 + e13;
        t3[i] = e10 - e13;
        t1[i] = e11 + e12;
        t2[i] = e11 - e12;
        const float b4 = in[1 * 8 + i], b5 = in[3 * 8 + i], b6 = in[5 * 8 + i], b7 = in[7 * 8 + i];
        const float z13 = b6 + b5, z10 = b6 - b5, z11 = b4 + b7, z12 = b4 - b7;
        const float o7 = z11 + z13;
        const float o11 = (z11 - z13) * 1.414213562f;
        const float z5 = (z10 + z12) * 1.847759065f;
        const float o10 = 1.082392200f * z12 - z5;
        const float o12 = -2.613125930f * z10 + z5;
        const float o6 = o12 - o7;
        const float o5 = o11 - o6;
        const float o4 = o10 + o5;
        t7[i] = o7;
        t6[i] = o6;
        t5[i] = o5;
        t4[i] = o4;
    }
    for (int i = 0; i < 8; ++i) {
        out[0 * 8 + i] = t0[i] + t7[i];
        out[7 * 8 + i] = t0[i] - t7[i];
        out[1 * 8 + i] = t1[i] + t6[i];
        out[6 * 8 + i] = t1[i] - t6[i];
        out[2 * 8 + i] = t2[i] + t5[i];
        out[5 * 8 + i] = t2[i] - t5[i];
        out[4 * 8 + i] = t3[i] + t4[i];
        out[3 * 8 + i] = t3[i] - t4[i];
    }
}

inline void Transpose(const float* in, float* out) {
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) out[c * 8 + r] = in[r * 8 + c];
}

struct SampleRange {
    float center;  // the level shift
    float max;     // the largest sample
    int shift;     // 12-bit samples are shifted down to 8
};

// Coefficients arrive transposed (see kZigzagT), so one pass, one transpose and a second pass give
// the samples in natural order: with X' the transposed block and T the 1-D transform,
// T (T X')' = T X T'.
template <int Shift>
void InverseTransformT(const float* coefT, std::uint8_t* out, std::ptrdiff_t stride, const SampleRange& range) {
    alignas(32) float a[64], b[64];
    alignas(16) std::uint8_t samples[64];
    IdctPass(coefT, a);
    Transpose(a, b);
    IdctPass(b, a);
    for (int i = 0; i < 64; ++i) {
        const float v = std::min(std::max(a[i] + range.center + 0.5f, 0.0f), range.max);
        samples[i] = static_cast<std::uint8_t>(static_cast<int>(v) >> Shift);
    }
    for (int r = 0; r < 8; ++r) std::memcpy(out + r * stride, samples + r * 8, 8);
}

void InverseTransform(const float* coefT, std::uint8_t* out, std::ptrdiff_t stride, const SampleRange& range) {
    if (range.shift) InverseTransformT<4>(coefT, out, stride, range);
    else InverseTransformT<0>(coefT, out, stride, range);
}

void FillBlock(float dc, std::uint8_t* out, std::ptrdiff_t stride, const SampleRange& range) {
    const float v = std::clamp(dc + range.center + 0.5f, 0.0f, range.max);
    const std::uint8_t s = static_cast<std::uint8_t>(static_cast<int>(v) >> range.shift);
    for (int r = 0; r < 8; ++r) std::memset(out + r * stride, s, 8);
}

struct Component {
    int h = 1, v = 1;      // sampling factors
    int hRatio = 1, vRatio = 1;
    int quant = 0;
    int dcTable = 0, acTable = 0;
    int pred = 0;
    alignas(16) float scaled[64];  // dequantisation with the AAN factors and the final 1/8, transposed
    std::vector<std::uint8_t> plane;  // one MCU row of samples
    int planeWidth = 0;
};

class Decoder {
public:
    Decoder(ByteSpan data, const JpegLimits& limits) : data_(data), limits_(limits) {}

    std::uint8_t Run(std::unique_ptr<TJpegImage>& out);

private:
    static constexpr int kNoInput = -1;
    static constexpr int kNoMarker = -2;

    int NextMarker();
    bool SegmentLength(int& length, std::uint8_t& status);
    std::uint8_t Frame(int length);
    std::uint8_t Quantisation(int length);
    std::uint8_t Huffman(int length);
    std::uint8_t ScanHeader(int length);
    std::uint8_t DecodeScan();
    bool DecodeBlock(Component& c, std::uint8_t* out, std::ptrdiff_t stride);
    int EndOfData();
    int Restart();
    bool GrowRows(int mcuRow);
    void ColourOutput(int mcuRow);
    void AppSegment(int length);
    bool StoresRgb() const;

    ByteSpan data_;
    JpegLimits limits_;
    std::size_t pos_ = 0;
    BitReader br_;

    bool haveFrame_ = false;
    int precision_ = 8;
    int width_ = 0, height_ = 0;
    int componentCount_ = 0;
    Component comps_[3];
    int hMax_ = 1, vMax_ = 1;
    int mcusX_ = 0, mcusY_ = 0;
    int restartInterval_ = 0;
    bool quantDefined_[4] = {};
    std::uint16_t quant_[4][64] = {};
    HuffmanTable dc_[4]{}, ac_[4]{};
    SampleRange range_{128.0f, 255.0f, 0};
    std::unique_ptr<TJpegImage> image_;
    std::size_t scanBytes_ = 0;     // from the scan's data to the end of the input
    std::size_t capacityRows_ = 0;  // MCU rows the frame buffer holds
    int restartNumber_ = 0;         // of the restart marker due next
    // What says how three components are to be read: the last APPn code met, a JFIF marker, an
    // Adobe marker's transform (-1 for none), and the frame's component ids.
    int appCode_ = 0;
    bool sawJfif_ = false;
    int adobeTransform_ = -1;
    int componentIds_[3] = {};
    bool rgb_ = false;  // the three components are R, G, B themselves
    std::vector<std::uint16_t> upsampled_[3];  // widened chroma rows
    int upsampledRow_[3] = {-1, -1, -1};       // the plane row each holds
    alignas(32) float block_[64];
};

// The marker at the read position: its code (restart markers with their number, application
// segments and comments as 0xE0), kNoInput at the end of the input, or kNoMarker when other bytes
// stand there or the code is none the library knows (it calls such bytes corrupt).
int Decoder::NextMarker() {
    const std::uint8_t* d = data_.data();
    const std::size_t n = data_.size();
    if (pos_ >= n) return kNoInput;
    if (d[pos_] != 0xFF) return kNoMarker;
    while (pos_ < n && d[pos_] == 0xFF) ++pos_;
    if (pos_ >= n) return kNoInput;
    const int code = d[pos_++];
    if (code <= 0xBF || (code >= 0xF0 && code <= 0xFD)) return kNoMarker;
    if (code >= 0xE0) {
        appCode_ = code;
        return 0xE0;
    }
    return code;
}

bool Decoder::SegmentLength(int& length, std::uint8_t& status) {
    if (data_.size() - pos_ < 2) {
        status = kJpegInputEnded;
        return false;
    }
    length = (data_[pos_] << 8) | data_[pos_ + 1];
    if (length < 2) {
        status = kJpegUnsupported;
        return false;
    }
    if (static_cast<std::uint64_t>(length) > data_.size() - pos_) {
        status = kJpegInputEnded;
        return false;
    }
    pos_ += 2;
    length -= 2;
    return true;
}

std::uint8_t Decoder::Frame(int length) {
    if (haveFrame_) return kJpegUnsupported;  // a second frame header
    const std::uint8_t* p = data_.data() + pos_;
    if (length < 6) return kJpegUnsupported;
    precision_ = p[0];
    height_ = (p[1] << 8) | p[2];
    width_ = (p[3] << 8) | p[4];
    componentCount_ = p[5];
    if (height_ == 0 || (precision_ != 8 && precision_ != 12)) return kJpegUnsupported;
    if (width_ == 0 || (componentCount_ != 1 && componentCount_ != 3)) return kJpegUnsupported;
    if (length != 6 + 3 * componentCount_) return kJpegUnsupported;
    hMax_ = vMax_ = 1;
    for (int i = 0; i < componentCount_; ++i) {
        Component& c = comps_[i];
        const std::uint8_t* q = p + 6 + 3 * i;
        componentIds_[i] = q[0];
        c.h = q[1] >> 4;
        c.v = q[1] & 15;
        c.quant = q[2];
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant > 3) return kJpegUnsupported;
        hMax_ = std::max(hMax_, c.h);
        vMax_ = std::max(vMax_, c.v);
    }
    range_ = precision_ == 12 ? SampleRange{2048.0f, 4095.0f, 4} : SampleRange{128.0f, 255.0f, 0};
    const int mcuW = 8 * hMax_, mcuH = 8 * vMax_;
    mcusX_ = (width_ + mcuW - 1) / mcuW;
    mcusY_ = (height_ + mcuH - 1) / mcuH;
    if (static_cast<std::int64_t>(width_) * height_ > limits_.maxPixels) return kJpegNoMemory;
    // Every block costs at least two bits of Huffman data (a DC and an AC code): a header claiming
    // more than the rest of the file can code is a cut or lying file, refused before anything is
    // decoded. What passes is held by the rows decoded (see GrowRows).
    std::uint64_t blocks = static_cast<std::uint64_t>((width_ + 7) / 8) * ((height_ + 7) / 8);  // one component
    if (componentCount_ > 1) {
        blocks = 0;
        for (int i = 0; i < componentCount_; ++i) blocks += static_cast<std::uint64_t>(comps_[i].h) * comps_[i].v;
        blocks *= static_cast<std::uint64_t>(mcusX_) * mcusY_;
    }
    const std::uint64_t rest = data_.size() - std::min<std::size_t>(data_.size(), pos_ + static_cast<std::size_t>(length));
    if (2 * blocks > 8 * rest) return kJpegInputEnded;
    for (int i = 0; i < componentCount_; ++i) {
        Component& c = comps_[i];
        if (hMax_ % c.h != 0 || vMax_ % c.v != 0) return kJpegUnsupported;
        c.hRatio = hMax_ / c.h;
        c.vRatio = vMax_ / c.v;
        if (c.hRatio > 2 || c.vRatio > 2) return kJpegUnsupported;
    }
    try {
        auto img = std::make_unique<TJpegImage>();
        img->Width = static_cast<std::uint32_t>(width_);
        img->Height = static_cast<std::uint32_t>(height_);
        img->RowWidth = static_cast<std::uint32_t>(mcusX_ * mcuW);
        img->BufferHeight = static_cast<std::uint32_t>(mcusY_ * mcuH);
        img->ComponentCount = static_cast<std::uint32_t>(componentCount_);
        for (int i = 0; i < componentCount_; ++i) {
            Component& c = comps_[i];
            c.planeWidth = mcusX_ * c.h * 8;
            c.plane.assign(static_cast<std::size_t>(c.planeWidth) * c.v * 8, 0);
            if (c.hRatio > 1) upsampled_[i].assign(img->RowWidth / 2, 0);
        }
        image_ = std::move(img);
    } catch (const std::bad_alloc&) {
        return kJpegNoMemory;
    }
    haveFrame_ = true;
    return kJpegDecoded;
}

std::uint8_t Decoder::Quantisation(int length) {
    const std::uint8_t* p = data_.data() + pos_;
    int at = 0;
    while (at < length) {
        const int pq = p[at] >> 4;
        const int tq = p[at] & 15;
        ++at;
        if (pq > 1 || tq > 3) return kJpegUnsupported;
        if (length - at < 64 * (pq + 1)) return kJpegUnsupported;
        for (int k = 0; k < 64; ++k) {
            const int v = pq ? (p[at] << 8) | p[at + 1] : p[at];
            at += pq + 1;
            quant_[tq][kZigzag[k]] = static_cast<std::uint16_t>(v);
        }
        quantDefined_[tq] = true;
    }
    return kJpegDecoded;
}

std::uint8_t Decoder::Huffman(int length) {
    const std::uint8_t* p = data_.data() + pos_;
    int at = 0;
    while (at < length) {
        if (length - at < 17) return kJpegUnsupported;
        const int tc = p[at] >> 4;
        const int th = p[at] & 15;
        if (tc > 1 || th > 3) return kJpegUnsupported;
        const std::uint8_t* counts = p + at + 1;
        int total = 0;
        for (int i = 0; i < 16; ++i) total += counts[i];
        at += 17;
        if (total > 256 || length - at < total) return kJpegUnsupported;
        if (!BuildHuffman(tc == 0 ? dc_[th] : ac_[th], counts, p + at, total)) return kJpegUnsupported;
        at += total;
    }
    return kJpegDecoded;
}

std::uint8_t Decoder::ScanHeader(int length) {
    if (!haveFrame_) return kJpegUnsupported;
    const std::uint8_t* p = data_.data() + pos_;
    if (length < 1 || p[0] != componentCount_ || length != 1 + 2 * componentCount_ + 3) return kJpegUnsupported;
    // One scan of every component in frame order, sequential (spectral selection 0 to 63, no
    // successive approximation): anything else the library reads, or calls corrupt.
    const std::uint8_t* tail = p + 1 + 2 * componentCount_;
    if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0) return kJpegUnsupported;
    for (int i = 0; i < componentCount_; ++i) {
        Component& c = comps_[i];
        if (p[1 + 2 * i] != componentIds_[i]) return kJpegUnsupported;
        c.dcTable = p[2 + 2 * i] >> 4;
        c.acTable = p[2 + 2 * i] & 15;
        if (c.dcTable > 3 || c.acTable > 3) return kJpegUnsupported;
        if (!dc_[c.dcTable].defined || !ac_[c.acTable].defined || !quantDefined_[c.quant]) return kJpegUnsupported;
        if (dc_[c.dcTable].largestValue > 15) return kJpegUnsupported;
        c.pred = 0;
        for (int k = 0; k < 64; ++k)
            c.scaled[(k % 8) * 8 + k / 8] = static_cast<float>(quant_[c.quant][k]) * kAan[k / 8] * kAan[k % 8] * 0.125f;
    }
    return kJpegDecoded;
}

bool Decoder::DecodeBlock(Component& c, std::uint8_t* out, std::ptrdiff_t stride) {
    const HuffmanTable& dc = dc_[c.dcTable];
    const HuffmanTable& ac = ac_[c.acTable];
    const int maxDc = precision_ + 3;
    const int maxAc = precision_ + 2;
    const int t = DecodeSymbol(br_, dc);
    if (t < 0 || t > maxDc) return false;
    int diff = 0;
    if (t) {
        br_.Ensure(t);
        diff = Extend(static_cast<int>(br_.Peek(t)), t);
        br_.Skip(t);
    }
    c.pred += diff;
    float* coef = block_;
    std::memset(coef, 0, sizeof block_);
    coef[0] = static_cast<float>(c.pred) * c.scaled[0];
    bool onlyDc = true;
    int k = 1;
    while (k < 64) {
        br_.Ensure(32);
        const std::uint32_t look = br_.Peek(kFastBits);
        const int fast = ac.fastAc[look];
        if (fast) {
            k += (fast >> 4) & 15;
            if (k > 63) return false;
            br_.Skip(fast & 15);
            const int z = kZigzagT[k++];
            coef[z] = static_cast<float>(fast >> 8) * c.scaled[z];
            onlyDc = false;
            continue;
        }
        const int rs = DecodeSymbol(br_, ac);
        if (rs < 0) return false;
        const int s = rs & 15;
        const int r = rs >> 4;
        if (s == 0) {
            if (r != 15) break;
            k += 16;
            if (k > 64) return false;
            continue;
        }
        if (s > maxAc) return false;
        k += r;
        if (k > 63) return false;
        const int v = Extend(static_cast<int>(br_.Peek(s)), s);
        br_.Skip(s);
        const int z = kZigzagT[k++];
        coef[z] = static_cast<float>(v) * c.scaled[z];
        onlyDc = false;
    }
    if (onlyDc) FillBlock(coef[0], out, stride, range_);
    else InverseTransform(coef, out, stride, range_);
    return true;
}

// Notes the markers that decide the colour space: "JFIF" in APP0, and "Adobe" in APP14 with its
// transform (0: the components are R, G, B; 1: YCbCr).
void Decoder::AppSegment(int length) {
    const std::uint8_t* p = data_.data() + pos_;
    if (appCode_ == 0xE0 && length >= 5 && std::memcmp(p, "JFIF\0", 5) == 0) sawJfif_ = true;
    if (appCode_ == 0xEE && length >= 12 && std::memcmp(p, "Adobe", 5) == 0) adobeTransform_ = p[11];
}

// Three components are R, G, B as libjpeg-turbo decides it: a JFIF marker means YCbCr; else an Adobe
// marker's transform 0 means RGB; without either, the component ids 'R', 'G', 'B' do.
bool Decoder::StoresRgb() const {
    if (componentCount_ != 3 || sawJfif_) return false;
    if (adobeTransform_ >= 0) return adobeTransform_ == 0;
    return componentIds_[0] == 'R' && componentIds_[1] == 'G' && componentIds_[2] == 'B';
}

// Where the entropy-coded data of an interval or of the scan ends: all its blocks read and nothing
// past them but the last byte's padding, then a marker. Returns status 2 to go on, or the data
// stopped inside the blocks, or whole bytes the blocks did not use stand before the marker.
int Decoder::EndOfData() {
    if (br_.Overran()) return kJpegInputEnded;
    if (br_.DataBitsLeft() >= 8) return kJpegUnsupported;
    pos_ = static_cast<std::size_t>(br_.pos - data_.data());
    return kJpegDecoded;
}

// Ends a restart interval: only the restart marker next in turn may follow. Returns 0xD0 to go on, or
// a status; any other marker, or the end of the input, leaves the scan's remaining blocks without data.
int Decoder::Restart() {
    if (const int s = EndOfData(); s != kJpegDecoded) return s;
    const int m = NextMarker();
    if (m == kNoMarker) return kJpegUnsupported;
    if (m != 0xD0 + restartNumber_) return kJpegInputEnded;
    restartNumber_ = (restartNumber_ + 1) & 7;
    for (Component& c : comps_) c.pred = 0;
    br_.Reset(data_.data() + pos_);
    return 0xD0;
}

// Makes room for MCU row `mcuRow`. The frame buffer holds the rows decoded so far: it starts at what
// the scan's data could code at four pixels a bit (real pictures need far more bits) and doubles, so a
// header that claims more than its data never takes that memory.
bool Decoder::GrowRows(int mcuRow) {
    TJpegImage& img = *image_;
    const auto needed = static_cast<std::size_t>(mcuRow) + 1;
    if (needed <= capacityRows_) return true;
    const std::size_t rowPixels = static_cast<std::size_t>(img.RowWidth) * 8 * vMax_;
    std::size_t rows = capacityRows_ == 0 ? 4 * 8 * scanBytes_ / rowPixels : capacityRows_ * 2;
    rows = std::min(std::max(rows, needed), static_cast<std::size_t>(mcusY_));
    void* grown = std::realloc(img.Buffer.get(), rows * rowPixels * sizeof(std::uint32_t));
    if (!grown) return false;
    (void)img.Buffer.release();
    img.Buffer.reset(static_cast<std::uint32_t*>(grown));
    img.Pixels = reinterpret_cast<std::uint8_t*>(img.Buffer.get());
    capacityRows_ = rows;
    return true;
}

void Decoder::ColourOutput(int mcuRow) {
    TJpegImage& img = *image_;
    const int rowWidth = static_cast<int>(img.RowWidth);
    const int rows = 8 * vMax_;
    for (int& r : upsampledRow_) r = -1;  // the planes hold a new MCU row
    for (int y = 0; y < rows; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(img.Pixels) +
                    static_cast<std::size_t>(mcuRow * rows + y) * rowWidth;
        const std::uint8_t* src[3];
        for (int i = 0; i < componentCount_; ++i) {
            Component& c = comps_[i];
            const std::uint8_t* row = c.plane.data() + static_cast<std::size_t>(y / c.vRatio) * c.planeWidth;
            if (c.hRatio == 2) {
                // Each sample twice, written as 16-bit pairs so that the loop vectorises; a row that
                // serves two output rows is widened once.
                const int sourceRow = y / c.vRatio;
                if (upsampledRow_[i] != sourceRow) {
                    std::uint16_t* up = upsampled_[i].data();
                    for (int x = 0; x < c.planeWidth; ++x) up[x] = static_cast<std::uint16_t>(row[x] * 0x0101u);
                    upsampledRow_[i] = sourceRow;
                }
                row = reinterpret_cast<const std::uint8_t*>(upsampled_[i].data());
            }
            src[i] = row;
        }
        if (componentCount_ == 1) {
            const std::uint8_t* g = src[0];
            for (int x = 0; x < rowWidth; ++x) out[x] = 0xFF000000u | (g[x] * 0x010101u);
            continue;
        }
        if (rgb_) {
            const std::uint8_t* rs = src[0];
            const std::uint8_t* gs = src[1];
            const std::uint8_t* bs = src[2];
            for (int x = 0; x < rowWidth; ++x)
                out[x] = 0xFF000000u | (static_cast<std::uint32_t>(rs[x]) << 16) |
                         (static_cast<std::uint32_t>(gs[x]) << 8) | bs[x];
            continue;
        }
        const std::uint8_t* ys = src[0];
        const std::uint8_t* cbs = src[1];
        const std::uint8_t* crs = src[2];
        // JFIF: R = Y + 1.402 Cr, G = Y - 0.344136 Cb - 0.714136 Cr, B = Y + 1.772 Cb.
        for (int x = 0; x < rowWidth; ++x) {
            const float yy = static_cast<float>(ys[x]) + 0.5f;
            const float cb = static_cast<float>(cbs[x]) - 128.0f;
            const float cr = static_cast<float>(crs[x]) - 128.0f;
            const float r = std::min(std::max(yy + 1.402f * cr, 0.0f), 255.0f);
            const float g = std::min(std::max(yy - 0.344136f * cb - 0.714136f * cr, 0.0f), 255.0f);
            const float b = std::min(std::max(yy + 1.772f * cb, 0.0f), 255.0f);
            out[x] = 0xFF000000u | (static_cast<std::uint32_t>(static_cast<int>(r)) << 16) |
                     (static_cast<std::uint32_t>(static_cast<int>(g)) << 8) | static_cast<std::uint32_t>(static_cast<int>(b));
        }
    }
}

std::uint8_t Decoder::DecodeScan() {
    br_.end = data_.data() + data_.size();
    br_.Reset(data_.data() + pos_);
    scanBytes_ = data_.size() - pos_;
    restartNumber_ = 0;
    // A block that cannot be decoded is corrupt, unless the data had already stopped.
    const auto blockFailed = [this] { return br_.Overran() ? kJpegInputEnded : kJpegUnsupported; };
    long units = 0;  // MCUs, or blocks in a one-component scan, since the last restart
    if (componentCount_ == 1) {
        // A one-component scan is not interleaved: blocks run across the component itself.
        Component& c = comps_[0];
        const int blocksX = (width_ + 7) / 8;
        const int blocksY = (height_ + 7) / 8;
        for (int my = 0; my < mcusY_; ++my) {
            if (my == mcusY_ - 1) std::fill(c.plane.begin(), c.plane.end(), 0);
            for (int v = 0; v < c.v; ++v) {
                const int by = my * c.v + v;
                if (by >= blocksY) break;
                for (int bx = 0; bx < blocksX; ++bx) {
                    if (restartInterval_ && units == restartInterval_) {
                        const int s = Restart();
                        if (s != 0xD0) return static_cast<std::uint8_t>(s);
                        units = 0;
                    }
                    std::uint8_t* out = c.plane.data() + static_cast<std::size_t>(v * 8) * c.planeWidth + bx * 8;
                    if (!DecodeBlock(c, out, c.planeWidth)) return blockFailed();
                    ++units;
                }
            }
            if (br_.Overran()) return kJpegInputEnded;
            if (!GrowRows(my)) return kJpegNoMemory;
            ColourOutput(my);
        }
    } else {
        for (int my = 0; my < mcusY_; ++my) {
            for (int mx = 0; mx < mcusX_; ++mx) {
                if (restartInterval_ && units == restartInterval_) {
                    const int s = Restart();
                    if (s != 0xD0) return static_cast<std::uint8_t>(s);
                    units = 0;
                }
                for (int i = 0; i < componentCount_; ++i) {
                    Component& c = comps_[i];
                    for (int v = 0; v < c.v; ++v)
                        for (int h = 0; h < c.h; ++h) {
                            std::uint8_t* out = c.plane.data() + static_cast<std::size_t>(v * 8) * c.planeWidth +
                                                (mx * c.h + h) * 8;
                            if (!DecodeBlock(c, out, c.planeWidth)) return blockFailed();
                        }
                }
                ++units;
            }
            if (br_.Overran()) return kJpegInputEnded;
            if (!GrowRows(my)) return kJpegNoMemory;
            ColourOutput(my);
        }
    }
    return static_cast<std::uint8_t>(EndOfData());
}

std::uint8_t Decoder::Run(std::unique_ptr<TJpegImage>& out) {
    // The start-of-image marker opens the data, as the library requires.
    if (data_.size() < 2) return kJpegInputEnded;
    if (data_[0] != 0xFF || data_[1] != 0xD8) return kJpegUnsupported;
    pos_ = 2;
    bool scanDone = false;
    for (;;) {
        const int marker = NextMarker();
        if (marker == kNoInput) {
            if (scanDone && limits_.completeWithoutEnd) break;
            return kJpegInputEnded;
        }
        if (marker == kNoMarker) return kJpegUnsupported;
        if (scanDone) {
            if (marker >= 0xD0 && marker <= 0xD7) continue;  // a restart after the last interval: nothing is left
            if (marker != 0xD9) return kJpegUnsupported;
            break;
        }
        std::uint8_t status = kJpegDecoded;
        int length = 0;
        switch (marker) {
        case 0xC0:
        case 0xC1:
        case 0xDB:
        case 0xC4:
        case 0xDD:
        case 0xE0:
        case 0xDA:
            break;
        default:
            return kJpegUnsupported;
        }
        if (!SegmentLength(length, status)) return status;
        if (marker == 0xC0 || marker == 0xC1) status = Frame(length);
        else if (marker == 0xDB) status = Quantisation(length);
        else if (marker == 0xC4) status = Huffman(length);
        else if (marker == 0xDD) {
            if (length != 2) return kJpegUnsupported;
            restartInterval_ = (data_[pos_] << 8) | data_[pos_ + 1];
        } else if (marker == 0xE0) {
            AppSegment(length);
        } else if (marker == 0xDA) {
            status = ScanHeader(length);
            if (status != kJpegDecoded) return status;
            rgb_ = StoresRgb();
            pos_ += static_cast<std::size_t>(length);
            status = DecodeScan();
            if (status != kJpegDecoded) return status;
            scanDone = true;
            continue;
        }
        if (status != kJpegDecoded) return status;
        pos_ += static_cast<std::size_t>(length);
    }
    out = std::move(image_);
    return kJpegDecoded;
}

}  // namespace

std::uint8_t DecodeJpeg(ByteSpan data, std::unique_ptr<TJpegImage>& out, const JpegLimits& limits) {
    out.reset();
    std::unique_ptr<Decoder> decoder;
    try {
        decoder = std::make_unique<Decoder>(data, limits);
    } catch (const std::bad_alloc&) {
        return kJpegNoMemory;
    }
    const std::uint8_t status = decoder->Run(out);
    if (status != kJpegDecoded) out.reset();
    return status;
}

Image32 JpegImageToBitmap(const TJpegImage* image) {
    Image32 bitmap;
    if (!image || !bitmap.Resize(static_cast<int>(image->Width), static_cast<int>(image->Height))) return bitmap;
    bitmap.Depth = 24;
    const auto* src = reinterpret_cast<const std::uint32_t*>(image->Pixels);
    for (int y = 0; y < bitmap.Height; ++y) {
        const std::uint32_t* row = src + static_cast<std::size_t>(y) * image->RowWidth;
        std::uint32_t* dst = &bitmap.At(0, y);
        for (int x = 0; x < bitmap.Width; ++x) dst[x] = row[x] | 0xFF000000u;
    }
    return bitmap;
}

bool DecodeJpegToBitmap(ByteSpan data, Image32& bitmap) {
    std::unique_ptr<TJpegImage> image;
    if (DecodeJpeg(data, image) != kJpegDecoded) return false;
    bitmap = JpegImageToBitmap(image.get());
    return !bitmap.Empty();
}

void DrawJpegImage(const TJpegImage* image, Image32& canvas, int left, int top, int right, int bottom) {
    if (!image || right <= left || bottom <= top) return;
    const std::int64_t w = right - left, h = bottom - top;
    const auto* src = reinterpret_cast<const std::uint32_t*>(image->Pixels);
    const int y0 = std::max(top, 0), y1 = std::min(bottom, canvas.Height);
    const int x0 = std::max(left, 0), x1 = std::min(right, canvas.Width);
    for (int y = y0; y < y1; ++y) {
        const std::int64_t sy = (y - top) * static_cast<std::int64_t>(image->Height) / h;
        const std::uint32_t* row = src + static_cast<std::size_t>(sy) * image->RowWidth;
        for (int x = x0; x < x1; ++x) {
            const std::int64_t sx = (x - left) * static_cast<std::int64_t>(image->Width) / w;
            canvas.At(x, y) = row[sx] | 0xFF000000u;
        }
    }
}

bool ReadJpegSize(ByteSpan data, int& width, int& height) {
    std::size_t pos = 0;
    const std::size_t n = data.size();
    if (n < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
    pos = 2;
    while (pos + 4 <= n) {
        if (data[pos] != 0xFF) return false;
        while (pos < n && data[pos] == 0xFF) ++pos;
        if (pos + 3 > n) return false;
        const int code = data[pos++];
        if (code == 0xD8 || (code >= 0xD0 && code <= 0xD7) || code == 0x01) continue;
        const std::size_t length = (static_cast<std::size_t>(data[pos]) << 8) | data[pos + 1];
        if (length < 2 || pos + length > n) return false;
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            if (length < 7) return false;
            height = (data[pos + 3] << 8) | data[pos + 4];
            width = (data[pos + 5] << 8) | data[pos + 6];
            return true;
        }
        if (code == 0xD9 || code == 0xDA) return false;
        pos += length;
    }
    return false;
}

}  // namespace kelvarn
