// The calculator's outputs held to a recorded table: every command line of
// golden/commands.tsv gives the exit status, standard output, standard error,
// the files it leaves and what they say (a report's text, a design file's
// JSON) recorded in golden/calc_golden.txt, byte for byte.
// QUILLSTONE_RECORD_GOLDEN=1 records the table anew from the program as built.
#include "calc_process.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

const std::string kGoldenDir = QUILLSTONE_GOLDEN_DIR;

// A settings file unlike the defaults, so that --config is seen to apply.
constexpr char kConfigText[] = "[UserInfo]\r\nRange=25.000000000\r\nFreq=5800.000000000\r\n"
                               "TxPower=2.500000000\r\nBitRate=2000.000000000\r\n"
                               "RxAntGain=18.000000000\r\n[MiscInfo]\r\nScreenPosX=10\r\n";

// Design files for --design: one to read, and one for each way a file can be
// refused.
const std::map<std::string, std::string> kFixtures = {
    {"link.cfg", kConfigText},
    {"design.json",
     R"({"format": "quillstone-design", "version": 1, "parameters": {)"
     R"("Range": {"value": 40, "unit": "km"}, "TxPower": {"value": 33, "unit": "dBm"},)"
     R"("RainRate": {"value": 30}, "RainPolarization": {"value": "h"}}})"},
    {"newer.json", R"({"format": "quillstone-design", "version": 2})"},
    {"broken.json", R"({"format": "quillstone-design", )"},
    {"unknown.json", R"({"format": "quillstone-design", "version": 1, )"
                     R"("parameters": {"Distance": {"value": 1}}})"},
    {"badvalue.json", R"({"format": "quillstone-design", "version": 1, )"
                      R"("parameters": {"Availability": {"value": 50}}})"},
    // An availability only an Earth-space path takes, the path read first.
    {"earth.json", R"({"format": "quillstone-design", "version": 1, "parameters": {)"
                   R"("Availability": {"value": 97}, "Elevation": {"value": 40},)"
                   R"("Freq": {"value": 12, "unit": "GHz"}, "Path": {"value": "earth-space"}}})"},
    // A receiver's stages and a waveform, and a stage without its gain.
    {"receiver.json",
     R"({"format": "quillstone-design", "version": 1, "parameters": {)"
     R"("ReceiverStages": {"value": ["LNA,35K,30", "mixer,10,15"]},)"
     R"("AntennaTemperature": {"value": 40}, "Waveform": {"value": "lora:sf9"}}})"},
    {"badstage.json", R"({"format": "quillstone-design", "version": 1, "parameters": {)"
                      R"("ReceiverStages": {"value": ["LNA,0.8"]}}})"},
    // The rules hold on the design, whatever gave its values: an adaptive
    // MODCOD and a rain rate from a file, a polarization without rain.
    {"auto.json", R"({"format": "quillstone-design", "version": 1, "parameters": {)"
                  R"("Freq": {"value": 20, "unit": "GHz"}, "Waveform": {"value": "dvbs2:auto"},)"
                  R"("SymbolRate": {"value": 30, "unit": "MBd"}}})"},
    {"rain.json", R"({"format": "quillstone-design", "version": 1, "parameters": {)"
                  R"("Freq": {"value": 18, "unit": "GHz"}, "RainRate": {"value": 42}}})"},
    // A terrain profile of 20 km with a ridge at 8 km, and one with a NaN.
    {"ridge.csv", "distance_km,height_m\n0,100\n1,100\n2,100\n3,100\n4,100\n5,100\n6,100\n7,100\n8,"
                  "160\n9,100\n10,100\n11,100\n12,100\n13,100\n14,100\n15,100\n16,100\n17,100\n18,"
                  "100\n19,100\n20,100\n"},
    {"nan.csv", "0,100\n1,nan\n2,100\n"},
    // An elevation tile cut short, in the folder the tests run in.
    {"N45E007.hgt", "\x01\x02\x03"},
    {"polarization.json", R"({"format": "quillstone-design", "version": 1, "parameters": {)"
                          R"("RainPolarization": {"value": "h"}}})"},
};

struct Command {
    std::string name;
    std::vector<std::string> args;
};

void PrintTo(const Command& command, std::ostream* os) {
    *os << command.name;
}

std::vector<Command> loadCommands() {
    std::vector<Command> commands;
    std::ifstream in(kGoldenDir + "/commands.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        Command command;
        std::istringstream fields(line);
        std::getline(fields, command.name, '\t');
        for (std::string arg; std::getline(fields, arg, '\t');) {
            command.args.push_back(arg);
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

// The run as recorded: sections of a name and a byte count, then the bytes.
std::string section(const std::string& name, const std::string& bytes) {
    return name + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
}

// A report's words without what changes from day to day: the date, and the
// chart's drawing in the HTML.
std::string reportText(const TempDir& dir, const std::string& name) {
    std::string text;
    if (name.ends_with(".pdf")) {
        const std::string command =
            "pdftotext '" + dir.file(name) + "' '" + dir.file("r.txt") + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        text = dir.read("r.txt");
        std::filesystem::remove(dir.file("r.txt"));
    } else {
        text = dir.read(name);
        const std::size_t start = text.find("<svg");
        const std::size_t end = text.rfind("</svg>");
        if (start != std::string::npos && end != std::string::npos && end > start) {
            text.replace(start, end + 6 - start, "<svg/>");
        }
    }
    return std::regex_replace(text, std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}"), "YYYY-MM-DD");
}

std::string runRecorded(const Command& command) {
    TempDir dir;
    for (const auto& [name, text] : kFixtures) {
        dir.write(name, text);
    }
    const Result result = RunCalc(dir, command.args);
    std::string record = "=== " + command.name + "\nstatus " + std::to_string(result.status) +
                         "\n" + section("stdout", result.out) + section("stderr", result.err);
    std::string files;
    std::string report;
    for (const std::string& entry : dir.entries()) {
        if (kFixtures.contains(entry)) {
            continue;
        }
        files += (files.empty() ? "" : ",") + entry;
        if (entry.ends_with(".pdf") || entry.ends_with(".html")) {
            report = reportText(dir, entry);
        } else if (entry.ends_with(".json")) {
            report = dir.read(entry);
        }
    }
    record += "files " + files + "\n";
    if (!report.empty()) {
        record += section("report", report);
    }
    return record;
}

std::map<std::string, std::string> loadGolden() {
    std::map<std::string, std::string> golden;
    const std::string text = ReadAll(kGoldenDir + "/calc_golden.txt");
    std::size_t at = 0;
    while ((at = text.find("=== ", at)) != std::string::npos) {
        const std::size_t nameEnd = text.find('\n', at);
        const std::string name = text.substr(at + 4, nameEnd - at - 4);
        // Walk the sections by their counts, so that "=== " inside an output
        // does not end the record.
        std::size_t end = nameEnd + 1;
        while (end < text.size() && text.compare(end, 4, "=== ") != 0) {
            const std::size_t lineEnd = text.find('\n', end);
            const std::string head = text.substr(end, lineEnd - end);
            end = lineEnd + 1;
            const std::size_t blank = head.find(' ');
            const std::string word = head.substr(0, blank);
            if (word == "stdout" || word == "stderr" || word == "report") {
                end += std::stoul(head.substr(blank + 1)) + 1;
            }
        }
        golden[name] = text.substr(at, end - at);
        at = end;
    }
    return golden;
}

class Golden : public testing::TestWithParam<Command> {};

TEST_P(Golden, OutputsAsRecorded) {
    static const std::map<std::string, std::string> golden = loadGolden();
    const auto expected = golden.find(GetParam().name);
    ASSERT_NE(expected, golden.end()) << "not recorded: " << GetParam().name;
    EXPECT_EQ(runRecorded(GetParam()), expected->second);
}

INSTANTIATE_TEST_SUITE_P(Calc, Golden, testing::ValuesIn(loadCommands()),
                         [](const testing::TestParamInfo<Command>& info) {
                             return info.param.name;
                         });

TEST(GoldenTable, HasEveryKindOfCommand) {
    const std::vector<Command> commands = loadCommands();
    EXPECT_GE(commands.size(), 50u);
    if (std::getenv("QUILLSTONE_RECORD_GOLDEN") != nullptr) {
        std::string all;
        for (const Command& command : commands) {
            all += runRecorded(command);
        }
        std::ofstream(kGoldenDir + "/calc_golden.txt", std::ios::binary) << all;
    }
}

} // namespace
