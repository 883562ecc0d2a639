// elmsim: a simulated OBD-II adapter on a pseudo-terminal, for the integration tests, the demo
// of ./run and the benchmarks. See usage() for the options and the stdin commands.

#include "Simulator.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

const char* const kUsage = R"(Usage: elmsim [options]

A simulated ELM327 v1.5 adapter on a pseudo-terminal. The first line on stdout is the
device path of the terminal a client opens (e.g. /dev/pts/7).

Options:
  --link PATH          also make PATH a symlink to the device (removed on exit)
  --scenario NAME      drive (default) or idle
  --time-scale X       run the scenario X times faster (default 1)
  --seed N             seed for the scenario's small variations (default 1)
  --fixed K=V[,K=V..]  pin readings; keys rpm, speed, map, maf, iat, coolant, volts
  --second-ecu         a second control unit answers every OBD request as well
  --latency MS         delay before each answer (default 0)
  --baud N             pace requests and answers as on a serial line at N baud
  --log-requests       print each received command as "REQ <text>"
  --help               this text

Commands on stdin, one a line, each acknowledged with "OK ..." or "ERR ...":
  set KEY VALUE        pin a reading (VALUE "auto" gives it back to the scenario)
  fault NAME [COUNT]   the next COUNT (default 1) OBD requests get the fault NAME:
                       nodata, unable, businit, stopped, question, garbage, split,
                       silence; "fault none" drops the pending faults
  hangup MS            the device disappears; after MS ms a new one appears and
                       "PATH <device>" is printed
  latency MS           delay before each answer
  quit                 end the program (so do SIGTERM and SIGINT; end of stdin does not)
)";

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "elmsim: %s\nTry 'elmsim --help'.\n", message.c_str());
    std::exit(2);
}

template <typename T> T number(std::string_view option, std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        usageError(std::string(option) + ": not a number: '" + std::string(text) + "'");
    return value;
}

void addPins(Simulator::Options& options, std::string_view list)
{
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            usageError("--fixed: expected key=value, got '" + std::string(item) + "'");
        options.pinned.emplace_back(item.substr(0, equals), item.substr(equals + 1));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Simulator::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view option = argv[i];
        std::string_view value;
        bool hasValue = false;
        if (const std::size_t equals = option.find('=');
            option.starts_with("--") && equals != std::string_view::npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
            hasValue = true;
        }
        const auto takeValue = [&]() {
            if (!hasValue) {
                if (i + 1 >= argc)
                    usageError(std::string(option) + " needs a value");
                value = argv[++i];
            }
            return value;
        };

        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (option == "--link") {
            options.linkPath = takeValue();
        } else if (option == "--scenario") {
            const auto kind = DriveScenario::kindFromName(takeValue());
            if (!kind)
                usageError("--scenario: drive or idle");
            options.scenario = *kind;
        } else if (option == "--time-scale") {
            options.timeScale = number<double>(option, takeValue());
            if (!(options.timeScale > 0) || !std::isfinite(options.timeScale))
                usageError("--time-scale must be above 0");
        } else if (option == "--seed") {
            options.seed = number<std::uint32_t>(option, takeValue());
        } else if (option == "--fixed") {
            addPins(options, takeValue());
        } else if (option == "--second-ecu") {
            options.secondEcu = true;
        } else if (option == "--latency") {
            options.latencyMs = number<int>(option, takeValue());
            if (options.latencyMs < 0)
                usageError("--latency must not be negative");
        } else if (option == "--baud") {
            options.baud = number<int>(option, takeValue());
            if (options.baud <= 0)
                usageError("--baud must be above 0");
        } else if (option == "--log-requests") {
            options.logRequests = true;
        } else {
            usageError("unknown option '" + std::string(argv[i]) + "'");
        }
    }

    Simulator simulator(std::move(options));
    if (const std::string error = simulator.applyPins(); !error.empty())
        usageError("--fixed: " + error);
    return simulator.run();
}
