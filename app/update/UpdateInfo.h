#pragma once
// The pure side of the update check: reading the update-information page,
// comparing versions, and the checks on the addresses and the file name the
// page hands over. No network, no windows.
//
// The page is plain HTML; each line that holds "META NAME" (upper case,
// exactly) carries one tag: NAME="<name>" ... CONTENT="<value>", CONTENT=
// found without regard to case. Names are matched exactly; a later line
// with the same name replaces the value.

#include <string>
#include <string_view>
#include <vector>

// The META names looked for.
struct TmxTagInfo {
    std::string Author = "qvAuthor";
    std::string Email = "qvEmail";
    std::string ClientFileName = "qvClientSideName";
    std::string Download = "qvDownload";
    std::string ProductName = "qvProduct";
    std::string Redirection = "qvRedirection";
    std::string RunParameters = "qvRunParameters";
    std::string Version = "qvVersion";
};

// The values read from one page; empty when the page lacks the tag.
struct TUpdatePageValues {
    std::string Author;
    std::string Email;
    std::string ClientFileName;
    std::string Download;
    std::string ProductName;
    std::string Redirection;
    std::string RunParameters;
    std::string Version;
};

TUpdatePageValues ParseUpdatePage(const std::vector<std::string>& lines, const TmxTagInfo& tags = TmxTagInfo());
// The page's text split at line breaks (CR LF, LF or CR).
std::vector<std::string> SplitPageLines(std::string_view text);

// True when page names a newer version than installed. Both are compared
// part by part ("3.0.0.121"), a part being the whole number before the next
// "." (0 when it is not a number); a version with fewer parts counts the
// missing ones as 0, so 3.1.5 is newer than 3.1 and 3.1.0 is not.
bool IsNewerVersion(std::string_view installed, std::string_view page);

// The address the check may fetch: a bare address gets "https://"; https
// is taken as it is; http only when the host is a loopback address
// (127.0.0.0/8, ::1, localhost). Empty when the address is refused (another
// scheme, no host, plain http to another host).
std::string CheckedUpdateAddress(std::string_view address);

// The name the installer is saved under: the base name of what the page
// gives ("../x" and "a\\b\\x" give "x"); empty when nothing usable is left
// ("", "." and "..").
std::string SafeClientFileName(std::string_view name);
