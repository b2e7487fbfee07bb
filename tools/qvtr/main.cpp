// qvtr: the bitmap tracer of the vectorisation.
//
//   qvtr -et <error> -fi <iterations> -ct <corner degrees> -outfile <dxf> [-cline] <bmp>
//
// Reads a black-and-white BMP and leaves an ASCII DXF of the black areas'
// outlines in <dxf>, coordinates in source pixels (origin at the image's
// lower-left corner). The tracing itself is potrace's (`potrace -b dxf`),
// which this program replaces itself with; its exit code is potrace's.
//
// How the options map onto potrace:
// - -et (curve error threshold, pixels): potrace's curve optimisation
//   tolerance -O; values at or below 0 become 0.001.
// - -ct (corner threshold, 0..180 degrees; a larger value keeps more
//   corners): potrace's corner smoothing -a = 4/3 x (1 - ct / 180), so 0
//   gives smooth curves and 180 a polygon.
// - -fi (outline smoothing iterations) and -cline (centre-line tracing)
//   have no potrace counterpart: they are checked and accepted, the outline
//   is traced unsmoothed, and -cline notes on stderr that outlines are traced.
// - Specks are the caller's business (its despeckle passes): potrace's own
//   speck removal is off (-t 0), so every black area is traced.
// Bad usage (unknown option, missing value, text that is not a number, no
// input) exits with 2 and a message; an input or output that potrace cannot
// use gives potrace's own error and exit code.

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

constexpr int UsageError = 2;

bool ParseNumber(const char* text, double& value)
{
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end;
}

std::string FormatNumber(double value)
{
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

int Usage(const std::string& why)
{
    std::fprintf(stderr,
                 "qvtr: %s\nusage: qvtr -et <error> -fi <iterations> -ct <corner degrees> -outfile <dxf> "
                 "[-cline] <bmp>\n",
                 why.c_str());
    return UsageError;
}

} // namespace

int main(int argc, char** argv)
{
    double errorThreshold = 0.1;
    double filterIterations = 1;
    double cornerThreshold = 90;
    bool centreLine = false;
    std::string outFile;
    std::string inFile;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&](double& number) {
            if (i + 1 >= argc)
                return false;
            return ParseNumber(argv[++i], number);
        };
        if (option == "-et") {
            if (!value(errorThreshold))
                return Usage("-et needs a number");
        } else if (option == "-fi") {
            if (!value(filterIterations) || filterIterations < 0)
                return Usage("-fi needs a number of 0 or more");
        } else if (option == "-ct") {
            if (!value(cornerThreshold))
                return Usage("-ct needs a number");
        } else if (option == "-outfile") {
            if (i + 1 >= argc)
                return Usage("-outfile needs a file name");
            outFile = argv[++i];
        } else if (option == "-cline") {
            centreLine = true;
        } else if (!option.empty() && option[0] == '-') {
            return Usage("unknown option " + option);
        } else if (inFile.empty()) {
            inFile = option;
        } else {
            return Usage("more than one input file");
        }
    }
    if (inFile.empty())
        return Usage("no input file");
    if (outFile.empty())
        return Usage("no -outfile");
    if (centreLine)
        std::fprintf(stderr, "qvtr: centre-line tracing is not available; outlines are traced\n");

    errorThreshold = errorThreshold > 0 ? errorThreshold : 0.001;
    cornerThreshold = std::clamp(cornerThreshold, 0.0, 180.0);
    const double alphaMax = 4.0 / 3.0 * (1.0 - cornerThreshold / 180.0);

    std::vector<std::string> args = {"potrace", "-b",      "dxf", "-t", "0", "-O", FormatNumber(errorThreshold),
                                     "-a",      FormatNumber(alphaMax), "-o",  outFile, "--", inFile};
    std::vector<char*> argvOut;
    for (std::string& arg : args)
        argvOut.push_back(arg.data());
    argvOut.push_back(nullptr);
    execvp("potrace", argvOut.data());
    std::fprintf(stderr, "qvtr: cannot start potrace: %s\n", std::strerror(errno));
    return 127;
}
