#include "render/Pixels.h"
#include "render/DecodedTexture.h"
#include "render/RunSteps.h"
#include "render/WidePixels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace q3::render;

namespace {

// Premultiplied texels of every kind: opaque, clear and in between.
TextureLevel RandomLevel(uint32_t width, uint32_t height, std::mt19937& random)
{
    TextureLevel level { width, height, std::vector<uint32_t>(size_t(width) * height) };
    for (uint32_t& texel : level.texels) {
        uint32_t alpha = std::array<uint32_t, 4> { 0, 255, 128, uint32_t(random() % 256) }[random() % 4];
        auto channel = [&] { return uint32_t(random() % 256) * alpha / 255; };
        texel = (alpha << 24) | (channel() << 16) | (channel() << 8) | channel();
    }
    return level;
}

// A pixel of the target, bytes A, R, G, B.
std::array<uint8_t, 4> Stored(const ScalarPixels::Color& color)
{
    std::array<uint8_t, 4> pixel {};
    ScalarPixels::Store(color, pixel.data());
    return pixel;
}

}

TEST(Stepper, StepsDivideTheDifferenceAsTheDivisionOperatorDoes)
{
    // Whole multiples of 1/One convert exactly, so the step is the quotient
    // of the fixed-point ends, rounded towards zero either way.
    constexpr int32_t Limit = int32_t(FactorLargest) * FactorOne;
    for (int intervals = 1; intervals < SubspanLength; ++intervals) {
        for (int32_t end = 0; end <= Limit; end += 7) {
            float high = float(end) / FactorOne;
            ASSERT_EQ(Stepper(0, high, intervals).StepSize(), end / intervals) << end << " / " << intervals;
            ASSERT_EQ(Stepper(FactorLargest, high, intervals).StepSize(), (end - Limit) / intervals)
                << end << " / " << intervals;
        }
    }
}

TEST(Stepper, OnlyAConstantOneLeavesChannelsAlone)
{
    EXPECT_TRUE(Stepper(1, 1, 7).IsConstantOne());
    EXPECT_FALSE(Stepper(1, 0.99f, 7).IsConstantOne());
    // A change too small to make a step over the run still leaves it at 1.
    EXPECT_TRUE(Stepper(1, 0.999f, 7).IsConstantOne());
    EXPECT_FALSE(Stepper(1.01f, 1, 3).IsConstantOne());
    Stepper one(1, 1, 5);
    for (uint32_t channel = 0; channel <= Opaque; ++channel)
        ASSERT_EQ(one.Scale(channel), channel);
}

TEST(Sampling, StaysInsideOnlyWhileTheSecondTexelNeedsNoWrap)
{
    // Half a texel in is the first texel's centre; one texel short of the
    // last centre is the last position whose right neighbour is no wrap.
    constexpr uint32_t Size = 5;
    constexpr int32_t FirstCentre = TexelOne / 2;
    constexpr int32_t LastCentre = int32_t(Size - 1) * TexelOne + TexelOne / 2;
    EXPECT_TRUE(StaysInside(FirstCentre, 0, 1, Size));
    EXPECT_FALSE(StaysInside(FirstCentre - 1, 0, 1, Size));
    EXPECT_TRUE(StaysInside(LastCentre - 1, 0, 1, Size));
    EXPECT_FALSE(StaysInside(LastCentre, 0, 1, Size));
    // Either end of the run can leave, stepping either way.
    EXPECT_TRUE(StaysInside(FirstCentre, 10, 7, Size));
    EXPECT_FALSE(StaysInside(FirstCentre + 9, -10, 1, Size));
    EXPECT_FALSE(StaysInside(LastCentre - 70, 10, 7, Size));
    EXPECT_TRUE(StaysInside(LastCentre - 70, 10, 6, Size));
    EXPECT_FALSE(StaysInside(FirstCentre, 0, 1, 1));
}

TEST(Sampling, NeighboursInsideFilterAsTheWrappingLookUp)
{
    std::mt19937 random(7);
    TextureLevel level = RandomLevel(7, 5, random);
    constexpr int32_t Half = TexelOne / 2;
    for (int32_t t = Half; StaysInside(t, 0, 1, level.height); t += 13) {
        for (int32_t s = Half; StaysInside(s, 0, 1, level.width); s += 11) {
            auto inside = ScalarPixels::SampleInside(level.texels.data(), level.width, s - Half, t - Half);
            ASSERT_EQ(Stored(inside), Stored(ScalarPixels::Sample(level, s, t))) << s << ", " << t;
            ASSERT_EQ(inside.a, ScalarPixels::Sample(level, s, t).a);
        }
    }
}

#if defined(__SSE2__)

namespace {

ScalarPixels::Color ToScalar(Sse2Pixels::Color color)
{
    alignas(16) uint16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), color);
    return { lanes[3], lanes[2], lanes[1], lanes[0] };
}

void ExpectSame(const ScalarPixels::Color& scalar, Sse2Pixels::Color wide, const std::string& what)
{
    ScalarPixels::Color converted = ToScalar(wide);
    ASSERT_TRUE(
        scalar.a == converted.a && scalar.r == converted.r && scalar.g == converted.g && scalar.b == converted.b)
        << what << ": " << scalar.a << " " << scalar.r << " " << scalar.g << " " << scalar.b << " against "
        << converted.a << " " << converted.r << " " << converted.g << " " << converted.b;
}

}

// The SSE2 path must give exactly the bytes of the plain one, which runs
// wherever SSE2 does not.
TEST(WidePixels, SampleAsThePlainPath)
{
    std::mt19937 random(11);
    TextureLevel level = RandomLevel(9, 6, random);
    const int32_t periodS = int32_t(level.width) * TexelOne, periodT = int32_t(level.height) * TexelOne;
    for (int32_t t = 0; t < periodT; t += 7) {
        for (int32_t s = 0; s < periodS; s += 5) {
            std::string where = std::to_string(s) + ", " + std::to_string(t);
            ExpectSame(ScalarPixels::Sample(level, s, t), Sse2Pixels::Sample(level, s, t), "wrapping at " + where);
            if (StaysInside(s, 0, 1, level.width) && StaysInside(t, 0, 1, level.height)) {
                uint32_t centredS = uint32_t(s - TexelOne / 2), centredT = uint32_t(t - TexelOne / 2);
                ExpectSame(ScalarPixels::SampleInside(level.texels.data(), level.width, centredS, centredT),
                    Sse2Pixels::SampleInside(level.texels.data(), level.width, centredS, centredT),
                    "inside at " + where);
            }
        }
    }
}

TEST(WidePixels, ScaleFogAndBlendAsThePlainPath)
{
    std::mt19937 random(13);
    std::uniform_real_distribution<float> factor(0, FactorLargest);
    std::uniform_real_distribution<float> fraction(0, 1);
    for (int trial = 0; trial < 20000; ++trial) {
        uint32_t a = random() % 256, r = random() % 256, g = random() % 256, b = random() % 256;
        ScalarPixels::Color color = ScalarPixels::Make(a, r, g, b);
        Sse2Pixels::Color wide = Sse2Pixels::Make(a, r, g, b);
        ASSERT_EQ(Sse2Pixels::Alpha(wide), a);

        // Small factors, where most trials land, and large ones that saturate.
        auto pick = [&] { return trial % 3 == 0 ? factor(random) : fraction(random) * 2; };
        int intervals = 1 + int(random() % (SubspanLength - 1));
        Stepper red(pick(), pick(), intervals), green(pick(), pick(), intervals), blue(pick(), pick(), intervals);
        float opaqueness = trial % 2 ? fraction(random) : 1;
        Stepper opacity(opaqueness, opaqueness, intervals);
        const std::array<int32_t, 4> values { blue.Value(), green.Value(), red.Value(), opacity.Value() };
        const std::array<int32_t, 4> steps { blue.StepSize(), green.StepSize(), red.StepSize(), 0 };
        ScalarPixels::Factors plainFactors(values, steps);
        Sse2Pixels::Factors wideFactors(values, steps);
        for (int step = 0; step <= intervals; ++step) {
            ExpectSame(plainFactors.Apply(color), wideFactors.Apply(wide), "scaled");
            plainFactors.Step();
            wideFactors.Step();
        }

        uint32_t clear = random() % (FactorOne + 1), fogged = (FactorOne - clear) * a / Opaque;
        uint32_t fogR = random() % 256, fogG = random() % 256, fogB = random() % 256;
        ExpectSame(ScalarPixels::Fog(color, clear, fogged, ScalarPixels::Make(0, fogR, fogG, fogB)),
            Sse2Pixels::Fog(wide, clear, fogged, Sse2Pixels::Make(0, fogR, fogG, fogB)), "fogged");

        std::array<uint8_t, 4> behind { uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random()) };
        uint32_t through = random() % 256;
        // Alpha has no use after the blend: the target keeps none.
        std::array<uint8_t, 4> blended {};
        Sse2Pixels::Store(Sse2Pixels::Over(wide, through, behind.data()), blended.data());
        ASSERT_EQ(blended, Stored(ScalarPixels::Over(color, through, behind.data())));

        std::array<uint8_t, 4> stored {};
        Sse2Pixels::Store(wide, stored.data());
        ASSERT_EQ(stored, Stored(color));
        ASSERT_EQ(stored[0], Opaque);
    }
}

TEST(WidePixels, PairsShadeAsOnePixelAtATime)
{
    std::mt19937 random(17);
    TextureLevel level = RandomLevel(11, 9, random);
    const uint32_t limitS = (level.width - 1) * TexelOne, limitT = (level.height - 1) * TexelOne;
    std::uniform_real_distribution<float> factor(0, 15.9f);
    for (int trial = 0; trial < 20000; ++trial) {
        uint32_t s[2] = { uint32_t(random() % limitS), uint32_t(random() % limitS) };
        uint32_t t[2] = { uint32_t(random() % limitT), uint32_t(random() % limitT) };
        Sse2PixelPairs::Pair pair
            = Sse2PixelPairs::SampleInside(level.texels.data(), level.width, s[0], t[0], s[1], t[1]);

        int intervals = 1 + int(random() % (SubspanLength - 1));
        Stepper red(factor(random), factor(random), intervals), green(factor(random), factor(random), intervals),
            blue(factor(random), factor(random), intervals), opacity(trial % 2 ? factor(random) / 16 : 1, 0, 1);
        const std::array<int32_t, 4> values { blue.Value(), green.Value(), red.Value(), opacity.Value() };
        const std::array<int32_t, 4> steps { blue.StepSize(), green.StepSize(), red.StepSize(), 0 };
        Sse2Pixels::Factors one(values, steps);
        Sse2PixelPairs::Factors two(values, steps);
        // The pair steps two pixels at a time.
        for (int step = 0; step + 1 <= intervals; step += 2) {
            Sse2PixelPairs::Pair scaled = two.Apply(pair);
            for (int which = 0; which < 2; ++which) {
                Sse2Pixels::Color single
                    = Sse2Pixels::SampleInside(level.texels.data(), level.width, s[which], t[which]);
                Sse2Pixels::Color fromPair = which == 0 ? Sse2PixelPairs::First(pair) : Sse2PixelPairs::Second(pair);
                ExpectSame(ToScalar(single), fromPair, "sampled");
                ExpectSame(ToScalar(one.Apply(single)),
                    which == 0 ? Sse2PixelPairs::First(scaled) : Sse2PixelPairs::Second(scaled), "scaled");
                one.Step();
            }
            two.Step();
        }

        std::array<uint8_t, 8> stored {}, expected {};
        Sse2PixelPairs::Store(pair, stored.data());
        Sse2Pixels::Store(Sse2PixelPairs::First(pair), expected.data());
        Sse2Pixels::Store(Sse2PixelPairs::Second(pair), expected.data() + 4);
        ASSERT_EQ(stored, expected);
        ASSERT_EQ(Sse2PixelPairs::BothOpaque(pair),
            Sse2Pixels::Alpha(Sse2PixelPairs::First(pair)) == Opaque
                && Sse2Pixels::Alpha(Sse2PixelPairs::Second(pair)) == Opaque);
    }
}

TEST(WidePixels, RowsOfNeighboursSampleAsOnePixelAtATime)
{
    std::mt19937 random(23);
    TextureLevel level = RandomLevel(13, 6, random);
    // The run's last pixel reads one texel on from its own and one row down.
    const uint32_t columns = level.width - SubspanLength - 1, rows = level.height - 1;
    for (int trial = 0; trial < 5000; ++trial) {
        const uint32_t s = uint32_t(random() % (columns * TexelOne)), t = uint32_t(random() % (rows * TexelOne));
        const uint32_t* first = level.texels.data() + (t >> TexelFractionBits) * level.width + (s >> TexelFractionBits);
        const auto row = Sse2PixelPairs::SampleAlongRow(first, level.width, s % TexelOne, t % TexelOne);
        for (int pixel = 0; pixel < SubspanLength; ++pixel) {
            const Sse2PixelPairs::Pair pair = row.pairs[pixel / 2];
            ExpectSame(ToScalar(Sse2Pixels::SampleInside(level.texels.data(), level.width, s + pixel * TexelOne, t)),
                pixel % 2 ? Sse2PixelPairs::Second(pair) : Sse2PixelPairs::First(pair),
                "pixel " + std::to_string(pixel) + " from " + std::to_string(s) + ", " + std::to_string(t));
        }
    }
}

// Every set-up a run can get, from ordinary spans to the values only a
// broken projection makes.
TEST(WidePixels, RunsSetUpAsThePlainPath)
{
    std::mt19937 random(19);
    TextureLevel level = RandomLevel(64, 16, random);
    std::uniform_real_distribution<float> ordinary(-3, 3);
    std::uniform_real_distribution<float> exponent(-40, 40);
    const float specials[] = { 0.0f, -0.0f, 1.0f, 16.0f, 64.0f, 1e-30f, 8388608.0f, -8388608.5f, 3e9f,
        std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
        std::numeric_limits<float>::quiet_NaN() };
    auto pick = [&](int trial) {
        switch (trial % 4) {
        case 0:
            return specials[random() % std::size(specials)];
        case 1:
            return (random() % 2 ? 1.0f : -1.0f) * std::pow(2.0f, exponent(random));
        default:
            return ordinary(random);
        }
    };
    for (int trial = 0; trial < 200000; ++trial) {
        Interpolants origin, stepY, stepX;
        for (int i = 0; i < InterpolantCount; ++i) {
            origin[i] = pick(trial);
            stepY[i] = trial % 3 ? ordinary(random) / 64 : pick(trial);
            stepX[i] = trial % 3 ? ordinary(random) / 64 : pick(trial);
        }
        // Mostly a 1/w that stays clear of zero, as projections give.
        if (trial % 5)
            origin[InverseW] = 0.25f + std::fabs(origin[InverseW]);
        SpanShading shading;
        shading.level = trial % 7 ? &level : nullptr;
        shading.uBoundary = random() % 2 ? Boundary::Clamp : Boundary::Wrap;
        shading.vBoundary = random() % 2 ? Boundary::Clamp : Boundary::Wrap;
        shading.opacity = trial % 2 ? 1 : pick(trial);
        shading.fog = random() % 2;
        const float row = float(random() % 300), column = float(random() % 300);
        SpanInterpolants plain(origin, stepY, stepX, row, column);
        Sse2SpanInterpolants wide(origin, stepY, stepX, row, column);
        // Which NaN comes out depends on the order the compiler adds in;
        // any NaN fails every depth test alike.
        const float plainDepth = plain.FirstDepth(), wideDepth = wide.FirstDepth();
        if (!(std::isnan(plainDepth) && std::isnan(wideDepth))) {
            ASSERT_EQ(std::bit_cast<uint32_t>(plainDepth), std::bit_cast<uint32_t>(wideDepth));
        }
        for (int run = 0; run < 3; ++run) {
            const int length = 1 + int(random() % SubspanLength);
            ASSERT_EQ(plain.Run(length, shading), wide.Run(length, Sse2RunSetUp(shading)))
                << "trial " << trial << ", run " << run;
            plain.Advance(length);
            wide.Advance(length);
        }
    }
}

#endif
