// hershey2fnd: converts one ASCII Hershey set (.jhf) into a single-line font
// file (.fnd) of characters 32..126, in the font units the program expects.
// Run by the build; exits non-zero with a message on any error and leaves no
// partial output behind.

#include "JhfFont.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: hershey2fnd <font.jhf> <font.fnd>\n";
        return 2;
    }
    const std::filesystem::path input = argv[1];
    const std::filesystem::path output = argv[2];
    std::filesystem::path temp = output;
    temp += ".part";
    try {
        std::ifstream in(input, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot open");
        const auto glyphs = ToFontUnits(ReadJhf(in), 32, 95);
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            WriteFnd(out, glyphs);
            out.close();
            if (!out)
                throw std::runtime_error("cannot write " + temp.string());
        }
        std::filesystem::rename(temp, output);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        std::cerr << "hershey2fnd: " << input.string() << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
