// Runs a fuzz target without libFuzzer: random inputs from a fixed seed for a bounded time,
// so any compiler's build can run it as a test. libFuzzer builds use the target directly.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const unsigned seed = argc > 2 ? unsigned(std::atoi(argv[2])) : 1u;
    std::mt19937 rng(seed);
    // Biased towards what the adapter sends, so that inputs reach the decoders.
    static const char* const kPieces[] = {
        "01 0C", "41 0C ", "61 0D ", "41 0B ", "41 10 ", "41 0F ", "41 05 ", "at rv", "12.6V",
        "ELM327 v1.5", "AT DP", "AT SP", "41 00 ", "7F ", "BUS INIT: ", "OK", "ERROR", "NO DATA",
        "STOPPED", "UNABLE TO CONNECT", "RESET", "SEARCHING...", "\r", "\n", ">", " 1", "1A F8 "};
    const auto start = std::chrono::steady_clock::now();
    unsigned long runs = 0;
    std::vector<uint8_t> input;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        input.clear();
        input.push_back(uint8_t(rng()));
        const int batches = int(rng() % 12);
        for (int b = 0; b < batches; ++b) {
            if (rng() % 10 == 0) {
                input.push_back(0xFF);
                continue;
            }
            std::vector<uint8_t> batch;
            const int parts = int(rng() % 6);
            for (int p = 0; p < parts; ++p) {
                if (rng() % 3 == 0) {
                    const int n = int(rng() % 40);
                    for (int k = 0; k < n; ++k)
                        batch.push_back(uint8_t(rng()));
                } else {
                    for (const char* c = kPieces[rng() % std::size(kPieces)]; *c; ++c)
                        batch.push_back(uint8_t(*c));
                }
            }
            if (rng() % 2)
                batch.push_back('>');
            if (batch.size() > 254)
                batch.resize(254);
            input.push_back(uint8_t(batch.size()));
            input.insert(input.end(), batch.begin(), batch.end());
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("%lu inputs in %.0f s, no fault\n", runs, seconds);
    return 0;
}
