#pragma once
// The settings file that a run which kept the defaults and never moved the
// window leaves behind: two sections, sixteen keys in table order, nine
// decimals, CR LF.
inline constexpr char kSampleSettingsText[] = "[UserInfo]\r\n"
                                              "Range=10.000000000\r\n"
                                              "Freq=2250.000000000\r\n"
                                              "TxPower=5.000000000\r\n"
                                              "BitRate=1000.000000000\r\n"
                                              "MinEbNoDesired=15.000000000\r\n"
                                              "LnaNoiseFigure=0.100000000\r\n"
                                              "LnaGain=6.000000000\r\n"
                                              "RxNoiseFigure=0.100000000\r\n"
                                              "TxFeedLoss=1.000000000\r\n"
                                              "TxAntGain=1.100000000\r\n"
                                              "Weather=0.100000000\r\n"
                                              "Polarization=0.100000000\r\n"
                                              "RxAntGain=10.000000000\r\n"
                                              "RxFeedLoss=0.100000000\r\n"
                                              "[MiscInfo]\r\n"
                                              "ScreenPosX=688\r\n"
                                              "ScreenPosY=171\r\n";
