// LoRa against Semtech's published figures (SX1276 SNR floors, AN1200.13's
// time on air, AN1200.22's sensitivity) and packets worked by hand.
#include "lora.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

LoraWaveform waveform(int sf, int bwKHz, int cr, int payload) {
    return {sf, bwKHz, cr, payload, 8};
}

TEST(Lora, FloorSensitivityAndBitRate) {
    const double floors[] = {-7.5, -10.0, -12.5, -15.0, -17.5, -20.0};
    for (int sf = kLoraLowestSf; sf <= kLoraHighestSf; ++sf) {
        EXPECT_EQ(LoraSnrFloorDb(sf), floors[sf - kLoraLowestSf]) << "SF" << sf;
    }
    // SF12 at 125 kHz with NF 6 dB: AN1200.22's -137 dBm.
    EXPECT_NEAR(LoraSensitivityDbm(waveform(12, 125, 1, 20), 6.0), -137.031, 1e-3);
    EXPECT_NEAR(LoraSensitivityDbm(waveform(7, 500, 1, 20), 3.0), -121.510, 1e-3);
    EXPECT_DOUBLE_EQ(LoraBitRate(waveform(7, 125, 1, 20)), 5468.75);
    EXPECT_DOUBLE_EQ(LoraBitRate(waveform(12, 125, 1, 20)), 292.96875);
    EXPECT_DOUBLE_EQ(LoraBitRate(waveform(9, 500, 4, 20)), 4394.53125);
}

// By hand: n = 8 + ceil((8 PL - 4 SF + 44) / (4 (SF - 2 DE))) (CR + 4),
// T = (12.25 + n) 2^SF / BW; the first row is AN1200.13's 285.95 ms.
TEST(Lora, TimeOnAirToTheMicrosecond) {
    struct Row {
        int sf, bwKHz, cr, payload;
        bool lowDataRate;
        int payloadSymbols;
        double timeMs;
    };
    for (const Row& r : std::initializer_list<Row>{{7, 125, 3, 127, false, 267, 285.952},
                                                   {9, 125, 1, 20, false, 33, 185.344},
                                                   {12, 125, 1, 20, true, 28, 1318.912},
                                                   {11, 125, 2, 10, true, 26, 626.688},
                                                   {12, 250, 4, 51, true, 96, 1773.568},
                                                   {11, 250, 1, 20, false, 28, 329.728},
                                                   {12, 500, 1, 0, false, 8, 165.888},
                                                   {10, 500, 1, 255, false, 268, 573.952}}) {
        const LoraWaveform w = waveform(r.sf, r.bwKHz, r.cr, r.payload);
        EXPECT_EQ(LoraLowDataRateOptimization(w), r.lowDataRate) << r.sf << " " << r.bwKHz;
        EXPECT_EQ(LoraPayloadSymbols(w), r.payloadSymbols) << r.sf << " " << r.bwKHz;
        EXPECT_NEAR(LoraTimeOnAirMs(w), r.timeMs, 1e-3) << r.sf << " " << r.bwKHz;
    }
}

TEST(Lora, TextsReadOrRefusedWithOneLine) {
    using Parser = bool (*)(std::string_view, LoraWaveform&, std::string&);
    struct Row {
        Parser parse;
        const char* text;
        bool valid;
        int sf, bwKHz, cr, payload; // the waveform afterwards (defaults 7, 125, 1, 20)
    };
    for (const Row& r :
         std::initializer_list<Row>{{ParseLoraModulation, "sf9", true, 9, 125, 1, 20},
                                    {ParseLoraModulation, "SF12:250", true, 12, 250, 1, 20},
                                    {ParseLoraModulation, "sf13", false, 7, 125, 1, 20},
                                    {ParseLoraModulation, "sf8:300", false, 7, 125, 1, 20},
                                    {ParseLoraModulation, "sf8:", false, 7, 125, 1, 20},
                                    {ParseLoraCodingRate, "4/8", true, 7, 125, 4, 20},
                                    {ParseLoraCodingRate, "4/9", false, 7, 125, 1, 20},
                                    {ParseLoraCodingRate, "5/8", false, 7, 125, 1, 20},
                                    {ParseLoraPayload, "255", true, 7, 125, 1, 255},
                                    {ParseLoraPayload, "-1", false, 7, 125, 1, 20},
                                    {ParseLoraPayload, "20.5", false, 7, 125, 1, 20}}) {
        LoraWaveform w;
        std::string error;
        EXPECT_EQ(r.parse(r.text, w, error), r.valid) << r.text << ": " << error;
        EXPECT_EQ(error.empty(), r.valid) << r.text;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_TRUE(w.spreadingFactor == r.sf && w.bandwidthKHz == r.bwKHz &&
                    w.codingRate == r.cr && w.payloadBytes == r.payload)
            << r.text;
    }
}

} // namespace
