// SkinBitmap: regions cut by a key colour, compared with the plain
// per-pixel rule, and the three ways of drawing, checked pixel by pixel.
#include <doctest/doctest.h>

#include <vector>

#include "resource.h"
#include "skin/skin_bitmap.h"
#include "skin_test_support.h"

namespace {

const COLORREF kKey = RGB(255, 0, 255);

std::vector<char> RegionBytes(HRGN h) {
    DWORD n = GetRegionData(h, 0, nullptr);
    std::vector<char> data(n);
    if (n)
        GetRegionData(h, n, reinterpret_cast<RGNDATA*>(data.data()));
    return data;
}

struct Run {
    int left, right;
    bool operator==(const Run& o) const { return left == o.left && right == o.right; }
};

// The runs of one row of a region, read back point by point.
std::vector<Run> RowRuns(HRGN h, int y, int width) {
    std::vector<Run> runs;
    bool in = false;
    for (int x = -1; x <= width + 1; ++x) {
        bool now = PtInRegion(h, x, y) != 0;
        if (now && !in)
            runs.push_back({x, 0});
        if (!now && in)
            runs.back().right = x;
        in = now;
    }
    return runs;
}

// The bitmap's region by SkinBitmap, checked identical to the rule's.
HRGN CheckedRegion(HBITMAP hbm, COLORREF key) {
    SkinBitmap skin;
    REQUIRE(skin.Attach(hbm));
    HRGN fast = skin.CreateRegion(key);
    HRGN ref = PerPixelRegion(hbm, key);
    CHECK(EqualRgn(fast, ref));
    CHECK(RegionBytes(fast) == RegionBytes(ref));
    DeleteObject(ref);
    return fast;
}

}  // namespace

TEST_CASE("a region keeps every run of non-key pixels and nothing else") {
    const int w = 12, h = 5;

    SUBCASE("no key pixel: the full rectangle") {
        HRGN rgn = CheckedRegion(MakeBitmap(w, h, [](int x, int y) { return RGB(x * 20, y * 40, 9); }), kKey);
        HRGN full = CreateRectRgn(0, 0, w, h);
        CHECK(EqualRgn(rgn, full));
        for (int y = 0; y < h; ++y)
            CHECK(RowRuns(rgn, y, w) == std::vector<Run>{{0, w}});
        DeleteObject(full);
        DeleteObject(rgn);
    }

    SUBCASE("a row of key pixels only contributes nothing") {
        HRGN rgn = CheckedRegion(MakeBitmap(w, h, [](int, int y) { return y == 2 ? kKey : RGB(1, 2, 3); }), kKey);
        CHECK(RowRuns(rgn, 2, w).empty());
        CHECK(RowRuns(rgn, 1, w) == std::vector<Run>{{0, w}});
        CHECK(RowRuns(rgn, 3, w) == std::vector<Run>{{0, w}});
        DeleteObject(rgn);
    }

    SUBCASE("one key pixel mid-row leaves a one-pixel hole") {
        HRGN rgn = CheckedRegion(
            MakeBitmap(w, h, [](int x, int y) { return (x == 5 && y == 1) ? kKey : RGB(200, 200, 200); }), kKey);
        CHECK(RowRuns(rgn, 1, w) == std::vector<Run>{{0, 5}, {6, w}});
        CHECK(RowRuns(rgn, 0, w) == std::vector<Run>{{0, w}});
        DeleteObject(rgn);
    }

    SUBCASE("two adjacent key pixels leave a two-pixel hole") {
        HRGN rgn = CheckedRegion(
            MakeBitmap(w, h, [](int x, int y) { return ((x == 5 || x == 6) && y == 3) ? kKey : RGB(0, 0, 0); }), kKey);
        CHECK(RowRuns(rgn, 3, w) == std::vector<Run>{{0, 5}, {7, w}});
        DeleteObject(rgn);
    }

    SUBCASE("key pixels at the first and the last column") {
        HRGN rgn = CheckedRegion(MakeBitmap(w, h,
                                            [](int x, int y) {
                                                if (y == 0 && x == 0)
                                                    return kKey;
                                                if (y == 4 && x == w - 1)
                                                    return kKey;
                                                return RGB(10, 20, 30);
                                            }),
                                 kKey);
        CHECK(RowRuns(rgn, 0, w) == std::vector<Run>{{1, w}});
        CHECK(RowRuns(rgn, 4, w) == std::vector<Run>{{0, w - 1}});
        DeleteObject(rgn);
    }

    SUBCASE("only the exact key colour is cut") {
        HRGN rgn = CheckedRegion(MakeBitmap(w, h,
                                            [](int x, int) {
                                                if (x == 2)
                                                    return RGB(254, 0, 255);
                                                if (x == 3)
                                                    return RGB(255, 1, 255);
                                                return x == 8 ? kKey : RGB(255, 0, 254);
                                            }),
                                 kKey);
        for (int y = 0; y < h; ++y)
            CHECK(RowRuns(rgn, y, w) == std::vector<Run>{{0, 8}, {9, w}});
        DeleteObject(rgn);
    }

    SUBCASE("many runs, more than one block of rectangles") {
        // Every third pixel a key, rows shifted: 100 runs a row, 4,000 in all.
        HRGN rgn = CheckedRegion(
            MakeBitmap(300, 40, [](int x, int y) { return (x + y) % 3 == 0 ? kKey : RGB(x & 0xFF, y, 7); }), kKey);
        CHECK(RowRuns(rgn, 0, 300).size() == 100);
        CHECK(RowRuns(rgn, 39, 300).size() == 100);
        DeleteObject(rgn);
    }

    SUBCASE("an empty bitmap object gives an empty region") {
        SkinBitmap empty;
        CHECK(empty.GetSize() == CSize(0, 0));
        HRGN rgn = empty.CreateRegion(kKey);
        REQUIRE(rgn);
        RECT box;
        CHECK(GetRgnBox(rgn, &box) == NULLREGION);
        DeleteObject(rgn);
    }
}

TEST_CASE("the wizard skin's region: one run a row, its 71 corner pixels cut away") {
    SkinBitmap skin;
    REQUIRE(skin.Attach(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN))));
    const CSize size = skin.GetSize();
    REQUIRE(size == CSize(584, 411));

    HRGN rgn = skin.CreateRegion(kKey);
    HRGN ref = PerPixelRegion(static_cast<HBITMAP>(skin.m_hObject), kKey);
    CHECK(EqualRgn(rgn, ref));
    CHECK(RegionBytes(rgn) == RegionBytes(ref));
    DeleteObject(ref);

    RECT box;
    GetRgnBox(rgn, &box);
    CHECK(box.left == 0);
    CHECK(box.top == 0);
    CHECK(box.right == 584);
    CHECK(box.bottom == 411);

    int runs = 0;
    for (int y = 0; y < size.cy; ++y) {
        std::vector<Run> row = RowRuns(rgn, y, size.cx);
        CHECK_MESSAGE(row.size() == 1, "row ", y);
        runs += (int)row.size();
    }
    CHECK(runs == 411);

    // What is left out is exactly the magenta.
    Picture pic = PictureOf(static_cast<HBITMAP>(skin.m_hObject));
    int excluded = 0, excludedKey = 0, key = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            bool isKey = pic.At(x, y) == kKey;
            key += isKey;
            if (!PtInRegion(rgn, x, y)) {
                ++excluded;
                excludedKey += isKey;
            }
        }
    CHECK(key == 71);
    CHECK(excluded == 71);
    CHECK(excludedKey == 71);
    DeleteObject(rgn);
}

namespace {

// Each pixel names where it came from: red = 12·x, green = 15·y.
const int kSrcW = 20, kSrcH = 16;
COLORREF SourcePixel(int x, int y) { return RGB(x * 12, y * 15, 0x40); }
bool Decode(COLORREF c, int* px, int* py) {
    if (GetBValue(c) != 0x40 || GetRValue(c) % 12 || GetGValue(c) % 15)
        return false;
    *px = GetRValue(c) / 12;
    *py = GetGValue(c) / 15;
    return *px < kSrcW && *py < kSrcH;
}

const COLORREF kSentinel = RGB(1, 254, 3);

bool Untouched(const Picture& p) {
    return p.Count([](COLORREF c) { return c != kSentinel; }) == 0;
}

}  // namespace

TEST_CASE("drawing one to one, stretched and with fixed borders") {
    SkinBitmap bmp;
    REQUIRE(bmp.Attach(MakeBitmap(kSrcW, kSrcH, SourcePixel)));
    Picture src = PictureOf(static_cast<HBITMAP>(bmp.m_hObject));
    const SIZE border = {5, 5};

    SUBCASE("Draw copies exactly the bitmap's size") {
        Picture target(60, 50);
        target.Fill(kSentinel);
        CHECK(bmp.Draw(target.Dc(), 7, 9));
        CHECK(target.SameAs(src, 7, 9, kSrcW, kSrcH, 0, 0));
        int outside = target.Count([](COLORREF c) { return c == kSentinel; });
        CHECK(outside == 60 * 50 - kSrcW * kSrcH);
    }

    SUBCASE("at its own size, DrawStretched and DrawBordered reproduce the bitmap") {
        Picture a(40, 40), b(40, 40);
        a.Fill(kSentinel);
        b.Fill(kSentinel);
        RECT rc = {3, 4, 3 + kSrcW, 4 + kSrcH};
        CHECK(bmp.DrawStretched(a.Dc(), &rc));
        CHECK(bmp.DrawBordered(b.Dc(), &rc, &border));
        POINT where = {};
        CHECK_MESSAGE(a.SameAs(src, 3, 4, kSrcW, kSrcH, 0, 0, &where), where.x, ",", where.y);
        CHECK_MESSAGE(b.SameAs(src, 3, 4, kSrcW, kSrcH, 0, 0, &where), where.x, ",", where.y);
        CHECK(a.Count([](COLORREF c) { return c == kSentinel; }) == 40 * 40 - kSrcW * kSrcH);
        CHECK(b.Count([](COLORREF c) { return c == kSentinel; }) == 40 * 40 - kSrcW * kSrcH);
    }

    SUBCASE("DrawBordered refuses at 10 pixels with 5-pixel borders and draws at 11") {
        Picture target(40, 40);
        target.Fill(kSentinel);
        RECT narrow = {0, 0, 10, 30}, low = {0, 0, 30, 10};
        CHECK_FALSE(bmp.DrawBordered(target.Dc(), &narrow, &border));
        CHECK_FALSE(bmp.DrawBordered(target.Dc(), &low, &border));
        CHECK(Untouched(target));

        SkinBitmap thin, flat;
        REQUIRE(thin.Attach(MakeBitmap(10, 30, SourcePixel)));
        REQUIRE(flat.Attach(MakeBitmap(30, 10, [](int, int) { return RGB(9, 9, 9); })));
        RECT big = {0, 0, 30, 30};
        CHECK_FALSE(thin.DrawBordered(target.Dc(), &big, &border));
        CHECK_FALSE(flat.DrawBordered(target.Dc(), &big, &border));
        CHECK(Untouched(target));

        RECT eleven = {0, 0, 11, 11};
        CHECK(bmp.DrawBordered(target.Dc(), &eleven, &border));
        CHECK(target.At(0, 0) == SourcePixel(0, 0));
        CHECK(target.At(10, 10) == SourcePixel(kSrcW - 1, kSrcH - 1));
        CHECK(target.At(11, 11) == kSentinel);

        SkinBitmap eleven11;
        REQUIRE(eleven11.Attach(MakeBitmap(11, 11, SourcePixel)));
        Picture t2(40, 40);
        t2.Fill(kSentinel);
        CHECK(eleven11.DrawBordered(t2.Dc(), &big, &border));
        CHECK_FALSE(Untouched(t2));
    }

    SUBCASE("stretched with borders: corners unscaled, edges stretched one way only") {
        const int W = 57, H = 43, ox = 2, oy = 3;
        Picture target(W + 10, H + 10);
        target.Fill(kSentinel);
        RECT rc = {ox, oy, ox + W, oy + H};
        REQUIRE(bmp.DrawBordered(target.Dc(), &rc, &border));

        int bad = 0;
        for (int dy = 0; dy < H; ++dy)
            for (int dx = 0; dx < W; ++dx) {
                int sx, sy;
                if (!Decode(target.At(ox + dx, oy + dy), &sx, &sy)) {
                    ++bad;
                    continue;
                }
                // Each axis: the border bands map one to one, the middle
                // maps into the bitmap's middle.
                bool okX = dx < 5 ? sx == dx : dx >= W - 5 ? sx == kSrcW - (W - dx) : (sx >= 5 && sx < kSrcW - 5);
                bool okY = dy < 5 ? sy == dy : dy >= H - 5 ? sy == kSrcH - (H - dy) : (sy >= 5 && sy < kSrcH - 5);
                if (!okX || !okY) {
                    ++bad;
                    MESSAGE("pixel ", dx, ",", dy, " came from ", sx, ",", sy);
                }
            }
        CHECK(bad == 0);
        // The corners, whole.
        CHECK(target.SameAs(src, ox, oy, 5, 5, 0, 0));
        CHECK(target.SameAs(src, ox + W - 5, oy, 5, 5, kSrcW - 5, 0));
        CHECK(target.SameAs(src, ox, oy + H - 5, 5, 5, 0, kSrcH - 5));
        CHECK(target.SameAs(src, ox + W - 5, oy + H - 5, 5, 5, kSrcW - 5, kSrcH - 5));
        // Nothing beyond the rectangle.
        CHECK(target.Count([](COLORREF c) { return c == kSentinel; }) == (W + 10) * (H + 10) - W * H);
    }

    SUBCASE("an empty object draws nothing") {
        SkinBitmap empty;
        Picture target(20, 20);
        target.Fill(kSentinel);
        RECT rc = {0, 0, 20, 20};
        empty.Draw(target.Dc(), 0, 0);
        empty.DrawStretched(target.Dc(), &rc);
        CHECK_FALSE(empty.DrawBordered(target.Dc(), &rc, &border));
        CHECK(Untouched(target));
    }
}

TEST_CASE("a bitmap object owns its handle until it is detached") {
    HBITMAP hbm = MakeBitmap(4, 4, [](int, int) { return RGB(1, 1, 1); });
    {
        SkinBitmap bmp;
        REQUIRE(bmp.Attach(hbm));
        CHECK_FALSE(bmp.Attach(hbm));  // already holds one
        CHECK(bmp.GetSize() == CSize(4, 4));
    }
    BITMAP bm;
    CHECK(GetObjectW(hbm, sizeof(bm), &bm) == 0);  // deleted with its owner

    HBITMAP kept = MakeBitmap(4, 4, [](int, int) { return RGB(1, 1, 1); });
    {
        SkinBitmap bmp;
        bmp.Attach(kept);
        CHECK(bmp.Detach() == kept);
    }
    CHECK(GetObjectW(kept, sizeof(bm), &bm) == sizeof(bm));
    DeleteObject(kept);
}
