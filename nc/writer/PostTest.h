#pragma once
// The post-processor editor's test program: a one-operation program (a
// drilling cycle, or a contour one unit deep) written with the post saved
// in the configuration folder, into "test.<extension>" of a scratch folder.
// The writer's output file name is restored afterwards, so the machine
// window's last program and the editor command never take the test file.

#include <string>

// Returns the written file's name; empty when nothing was written.
std::string WritePostTestProgram(bool cycle, const std::string& configFolder, const std::string& scratchFolder);
