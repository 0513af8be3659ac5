// Page save files, field by field (core/bytes.h: numbers of 32 bits, least significant byte
// first; counted strings and counted byte runs: a 32-bit length, then the bytes):
//
//   field                                         encoding
//   "TSPS"                                        4 bytes
//   version: 1                                    number
//   the file's length in bytes                    number
//   sequence (the newest save is the largest)     number
//   date: year, month, day, hour, minute, second  6 numbers
//   kind of the point waited at (1 page, 2        number
//     choice, 3 move list, 4 field menu)
//   page: the page's number in the game           number
//   chapter, first line                           2 counted strings (159 and 255 bytes at most)
//   picture: 160 x 120 pixels, R G B each         57600 bytes
//   scene start: state image (layout in           counted bytes
//     core/state.cpp)
//   scene start: background, music, looping       3 counted strings (319 bytes at most)
//     sound
//   scene start: pages passed, scene index,       3 numbers
//     CRC-32 of the scene's text
//   points decided before the moment: count n     number
//   n points: kind (1 page, 2 choice, 3 move      n x 7 numbers
//     list, 4 field menu, 5 slot, 6 draw), five
//     answer values, check
//   the point waited at                           7 numbers
//   backlog                                       counted bytes, below
//   CRC-32 of every byte before it                number
//
// The backlog, oldest page first: the count of pages m, then m pages, each: its number in the
// game, its layout mode, the four rows' emphasis x, the count k of its slots that hold text,
// then k slots: row, slot (0 the emphasis dots, 1-5 segments), x, y, colour and typeface
// (red, green, blue and the face 0 std, 1 change, 2 big, one byte each from the lowest),
// the text as a counted string (1023 bytes at most).
#include "savegame/pagefile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/bytes.h"
#include "core/checksum.h"
#include "core/filewrite.h"
#include "core/state.h"
#include "core/textfile.h"
#include "core/trace.h"
#include "presentation/backlog.h"

namespace {

const char kMagic[4] = {'T', 'S', 'P', 'S'};
const uint32_t kVersion = 1;
const size_t kLargestFile = 16 << 20;   // a scene of very many pages still fits
const int kPathSize = 320;

// ---- Points and scene starts -------------------------------------------------------------

void putPoint(ByteWriter& w, const Point& p)
{
    w.number(static_cast<uint32_t>(p.kind));
    for (int v : p.value) w.signedNumber(v);
    w.number(p.check);
}

bool takePoint(ByteReader& r, Point* p)
{
    uint32_t kind = r.number();
    for (int& v : p->value) v = r.signedNumber();
    p->check = r.number();
    p->kind = static_cast<PointKind>(kind);
    return r.ok && kind >= static_cast<uint32_t>(PointKind::Page) &&
           kind <= static_cast<uint32_t>(PointKind::Draw);
}

void takeString(ByteReader& r, std::string* value, size_t size)
{
    std::vector<char> text(size);
    r.text(text.data(), size);
    value->assign(text.data());
}

void putBytes(ByteWriter& w, const std::string& bytes)
{
    w.number(static_cast<uint32_t>(bytes.size()));
    w.bytes(bytes.data(), bytes.size());
}

void takeBytes(ByteReader& r, std::string* bytes)
{
    uint32_t length = r.number();
    if (!r.has(length)) return;
    bytes->assign(reinterpret_cast<const char*>(r.at), length);
    r.at += length;
}

// ---- The backlog -------------------------------------------------------------------------

uint32_t styleOf(const SDL_Color& colour, Face face)
{
    return colour.r | colour.g << 8 | colour.b << 16 | static_cast<uint32_t>(face) << 24;
}

// Walks an encoded backlog; with `into` set it is put in place of the backlog.
bool takeBacklog(const std::string& bytes, bool into)
{
    static Page page;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    ByteReader r{at, at + bytes.size()};
    uint32_t count = r.number();
    if (count > static_cast<uint32_t>(kBacklogPages)) return false;
    if (into) backlogClear();
    for (uint32_t n = 0; n < count && r.ok; ++n) {
        std::memset(&page, 0, sizeof page);
        for (auto& row : page.style.color)
            for (SDL_Color& colour : row) colour = {255, 255, 255, 255};
        int serial = r.signedNumber(), mode = r.signedNumber();
        for (int& x : page.emphasisX) x = r.signedNumber();
        uint32_t slots = r.number();
        if (slots > static_cast<uint32_t>(kRows * kSlots)) return false;
        for (uint32_t k = 0; k < slots && r.ok; ++k) {
            uint32_t row = r.number(), slot = r.number();
            int x = r.signedNumber(), y = r.signedNumber();
            uint32_t style = r.number();
            if (row >= static_cast<uint32_t>(kRows) || slot >= static_cast<uint32_t>(kSlots) ||
                (style >> 24) > static_cast<uint32_t>(Face::Big))
                return false;
            page.x[row][slot] = x;
            page.y[row][slot] = y;
            page.style.color[row][slot] = {static_cast<Uint8>(style), static_cast<Uint8>(style >> 8),
                                           static_cast<Uint8>(style >> 16), 255};
            page.style.font[row][slot] = static_cast<Face>(style >> 24);
            r.text(page.text[row][slot], kSegmentSize);
        }
        if (into && r.ok) backlogPut(page, mode, serial);
    }
    return r.finished();
}

// ---- The head and the rest ---------------------------------------------------------------

void putHead(ByteWriter& w, const PageSave& s)
{
    w.number(s.sequence);
    const PlatformDate& d = s.date;
    for (int part : {d.year, d.month, d.day, d.hour, d.minute, d.second}) w.signedNumber(part);
    w.number(static_cast<uint32_t>(s.kind));
    w.signedNumber(s.page);
    w.text(s.chapter);
    w.text(s.firstLine);
    std::vector<unsigned char> picture = s.picture;
    picture.resize(kPictureBytes);
    w.bytes(picture.data(), picture.size());
}

void takeHead(ByteReader& r, PageSave* s)
{
    s->sequence = r.number();
    PlatformDate& d = s->date;
    for (int* part : {&d.year, &d.month, &d.day, &d.hour, &d.minute, &d.second}) *part = r.signedNumber();
    uint32_t kind = r.number();
    if (kind < static_cast<uint32_t>(PointKind::Page) || kind > static_cast<uint32_t>(PointKind::Menu))
        r.ok = false;
    s->kind = static_cast<PointKind>(kind);
    s->page = r.signedNumber();
    r.text(s->chapter, sizeof s->chapter);
    r.text(s->firstLine, sizeof s->firstLine);
    s->picture.resize(kPictureBytes);
    r.bytes(s->picture.data(), s->picture.size());
}

void putScene(ByteWriter& w, const PageSave& s)
{
    const SceneOpening& start = s.scene.start;
    putBytes(w, start.state);
    w.text(start.background.c_str());
    w.text(start.music.c_str());
    w.text(start.loop.c_str());
    w.signedNumber(start.pagesBefore);
    w.signedNumber(start.index);
    w.number(start.textCheck);
    w.number(static_cast<uint32_t>(s.scene.points.size()));
    for (const Point& p : s.scene.points) putPoint(w, p);
    putPoint(w, s.at);
    putBytes(w, s.backlog);
}

void takeScene(ByteReader& r, PageSave* s)
{
    SceneOpening& start = s->scene.start;
    takeBytes(r, &start.state);
    takeString(r, &start.background, kPathSize);
    takeString(r, &start.music, kPathSize);
    takeString(r, &start.loop, kPathSize);
    start.pagesBefore = r.signedNumber();
    start.index = r.signedNumber();
    start.textCheck = r.number();
    uint32_t count = r.number();
    // Each point takes 28 bytes: a count larger than the rest could hold is a damaged file.
    if (!r.has(static_cast<size_t>(count) * 28)) return;
    s->scene.points.resize(count);
    for (Point& p : s->scene.points)
        if (!takePoint(r, &p)) r.ok = false;
    if (!takePoint(r, &s->at)) r.ok = false;
    takeBytes(r, &s->backlog);
}

// ---- Files -------------------------------------------------------------------------------

// Every page save file, the places first.
std::vector<std::string> allPaths()
{
    std::vector<std::string> paths;
    for (int place = 1; place <= kPagePlaces; ++place) paths.push_back(placePath(place));
    paths.push_back(quickPath());
    for (int n = 0; n <= kAutoSaves; ++n) paths.push_back(autoPath(n));
    return paths;
}

// The time the file was last written, in nanoseconds; 0 when there is none.
long long writtenAt(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return 0;
    return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

// The sequence number at the head of a file, without reading the rest; 0 when there is none.
uint32_t sequenceOf(const std::string& path)
{
    std::FILE* file = openRegularFile(path.c_str());
    if (!file) return 0;
    unsigned char head[16];
    size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got < sizeof head || std::memcmp(head, kMagic, 4) != 0) return 0;
    ByteReader r{head + 12, head + 16};
    uint32_t sequence = r.number();
    // A damaged head must not push every later save's number out of range.
    return sequence < 0x40000000u ? sequence : 0;
}

}  // namespace

std::string placePath(int place)
{
    char path[32];
    std::snprintf(path, sizeof path, "./save/page%02d", place);
    return path;
}

const char* quickPath() { return "./save/quick"; }

std::string autoPath(int n) { return "./save/auto" + std::to_string(n); }

std::string encodePageSave(const PageSave& save)
{
    std::string bytes;
    ByteWriter w{&bytes};
    w.bytes(kMagic, 4);
    w.number(kVersion);
    w.number(0);   // the length, once known
    putHead(w, save);
    putScene(w, save);
    uint32_t length = static_cast<uint32_t>(bytes.size() + 4);
    for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<char>(length >> (8 * i));
    w.number(crc32Of(bytes.data(), bytes.size()));
    return bytes;
}

bool decodePageSave(const std::string& bytes, PageSave* save, bool whole)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 16 || std::memcmp(at, kMagic, 4) != 0) return false;
    ByteReader end{at + bytes.size() - 4, at + bytes.size()};
    if (end.number() != crc32Of(at, bytes.size() - 4)) return false;
    ByteReader r{at + 4, at + bytes.size() - 4};
    if (r.number() != kVersion || r.number() != bytes.size()) return false;
    takeHead(r, save);
    if (!whole) return r.ok;
    takeScene(r, save);
    return r.finished() && stateImageWhole(save->scene.start.state) && takeBacklog(save->backlog, false);
}

PageFile readPageSave(const std::string& path, PageSave* save, bool whole)
{
    bool odd = false;
    std::FILE* file = openRegularFile(path.c_str(), &odd);
    if (!file) return odd ? PageFile::Damaged : PageFile::Missing;
    std::string bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes.size() <= kLargestFile)
        bytes.append(buffer, got);
    std::fclose(file);
    if (bytes.size() > kLargestFile) return PageFile::Damaged;
    return decodePageSave(bytes, save, whole) ? PageFile::Sound : PageFile::Damaged;
}

bool writePageSave(const std::string& path, const PageSave& save, bool automatic)
{
    if (mkdir("./save", 0777) != 0 && errno != EEXIST) return false;
    std::string bytes = encodePageSave(save);
    if (!writeFileAtomically(path.c_str(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "%sを書き込めませんでした\n", path.c_str());
        return false;
    }
    if (automatic) traceAutoSave(path.c_str());
    else traceSave(path.c_str());
    return true;
}

uint32_t nextPageSequence()
{
    uint32_t largest = 0;
    for (const std::string& path : allPaths()) {
        uint32_t sequence = sequenceOf(path);
        if (sequence > largest) largest = sequence;
    }
    return largest + 1;
}

std::string nextAutoPath()
{
    std::string oldest;
    uint32_t oldestSequence = UINT32_MAX;
    for (int n = 1; n <= kAutoSaves; ++n) {
        std::string path = autoPath(n);
        PageSave head;
        if (readPageSave(path, &head, false) != PageFile::Sound) return path;
        if (head.sequence < oldestSequence) {
            oldestSequence = head.sequence;
            oldest = path;
        }
    }
    return oldest;
}

std::string newestPageSave(std::string* damaged)
{
    std::string newest;
    uint32_t newestSequence = 0;
    long long newestTime = 0, damagedTime = 0;
    damaged->clear();
    for (const std::string& path : allPaths()) {
        PageSave head;
        PageFile found = readPageSave(path, &head, false);
        if (found == PageFile::Sound && (newest.empty() || head.sequence > newestSequence)) {
            newest = path;
            newestSequence = head.sequence;
            newestTime = writtenAt(path);
        } else if (found == PageFile::Damaged && writtenAt(path) > damagedTime) {
            *damaged = path;
            damagedTime = writtenAt(path);
        }
    }
    if (!damaged->empty() && !newest.empty() && damagedTime <= newestTime) damaged->clear();
    return newest;
}

void removeUnfinishedPageSaves()
{
    for (const std::string& path : allPaths()) unlink((path + ".writing").c_str());
}

std::string encodeBacklog()
{
    static Page page;
    std::string bytes;
    ByteWriter w{&bytes};
    int count = backlogCount();
    w.number(static_cast<uint32_t>(count));
    for (int k = count; k >= 1; --k) {
        int mode = backlogGet(k, &page);
        w.signedNumber(backlogSerialOf(k));
        w.signedNumber(mode);
        for (int x : page.emphasisX) w.signedNumber(x);
        uint32_t slots = 0;
        for (const auto& row : page.text)
            for (const auto& slot : row) slots += slot[0] != '\0';
        w.number(slots);
        for (int r = 0; r < kRows; ++r)
            for (int sl = 0; sl < kSlots; ++sl) {
                if (!page.text[r][sl][0]) continue;
                w.number(static_cast<uint32_t>(r));
                w.number(static_cast<uint32_t>(sl));
                w.signedNumber(page.x[r][sl]);
                w.signedNumber(page.y[r][sl]);
                w.number(styleOf(page.style.color[r][sl], page.style.font[r][sl]));
                w.text(page.text[r][sl]);
            }
    }
    return bytes;
}

bool restoreBacklog(const std::string& bytes)
{
    // Checked whole before the backlog is touched.
    return takeBacklog(bytes, false) && takeBacklog(bytes, true);
}

std::vector<unsigned char> smallPicture(SDL_Surface* surface)
{
    std::vector<unsigned char> picture(kPictureBytes, 0);
    if (!surface || surface->w < kPictureW || surface->h < kPictureH) return picture;
    const int sx = surface->w / kPictureW, sy = surface->h / kPictureH;
    const SDL_PixelFormat* format = surface->format;
    const int bpp = format->BytesPerPixel;
    SDL_LockSurface(surface);
    const auto* pixels = static_cast<const Uint8*>(surface->pixels);
    for (int y = 0; y < kPictureH; ++y)
        for (int x = 0; x < kPictureW; ++x) {
            unsigned sum[3] = {};
            for (int j = 0; j < sy; ++j)
                for (int i = 0; i < sx; ++i) {
                    const Uint8* at = pixels + (y * sy + j) * surface->pitch + (x * sx + i) * bpp;
                    Uint32 value = 0;
                    std::memcpy(&value, at, bpp);
                    Uint8 rgb[3];
                    SDL_GetRGB(value, const_cast<SDL_PixelFormat*>(format), &rgb[0], &rgb[1], &rgb[2]);
                    for (int k = 0; k < 3; ++k) sum[k] += rgb[k];
                }
            for (int k = 0; k < 3; ++k)
                picture[(y * kPictureW + x) * 3 + k] = static_cast<unsigned char>(sum[k] / (sx * sy));
        }
    SDL_UnlockSurface(surface);
    return picture;
}
