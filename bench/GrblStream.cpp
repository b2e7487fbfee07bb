// Streaming a program to the fake GRBL (tools/fakegrbl) in check mode, at
// the pace of a 115200 baud line: the
// machine link against a bare client that keeps one line in flight and
// does nothing else, alternating in the same run on the same fake. Prints
// lines per second of both, the link's share of the bare client's rate
// (the goal is 95 % or more) and the lines the fake received lost or twice.
//
//   bench_GrblStream [lines] [rounds]      (defaults 2000 and 3)

#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/SerialPortTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

class TNullConsole final : public TGrblConsole {
public:
    void AppendLine(const std::string&) override { ++m_Lines; }
    int LineCount() const override { return m_Lines; }
    void DeleteFirstLines(int count) override { m_Lines -= count; }

private:
    int m_Lines = 0;
};

std::vector<std::string> ProgramLines(int count, int round)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("G1X" + std::to_string(i % 97) + "." + std::to_string((i + round) % 10) + "Y" +
                        std::to_string((i * 7) % 50) + "F2000");
    return lines;
}

// The lines the fake logged as received, from line index from on.
std::vector<std::string> Received(const std::string& log, size_t from)
{
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("IN "))
            lines.push_back(line.substr(3));
    return from < lines.size() ? std::vector<std::string>(lines.begin() + long(from), lines.end())
                               : std::vector<std::string>();
}

size_t ReceivedCount(const std::string& log) { return Received(log, 0).size(); }

// Lost and repeated lines of what arrived against what was meant.
std::pair<int, int> Compare(const std::vector<std::string>& sent, const std::vector<std::string>& received)
{
    size_t r = 0;
    int lost = 0, repeated = 0;
    for (const std::string& line : sent) {
        size_t at = r;
        while (at < received.size() && received[at] != line)
            ++at;
        if (at == received.size()) {
            ++lost;
            continue;
        }
        repeated += int(at - r);
        r = at + 1;
    }
    repeated += int(received.size() - r);
    return {lost, repeated};
}

// One line in flight, nothing else: write, read up to "ok", write the next.
double BareClient(const std::string& device, const std::vector<std::string>& lines)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return 0;
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    std::string pending;
    const auto start = TClock::now();
    for (const std::string& line : lines) {
        const std::string bytes = line + "\n";
        if (write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            break;
        for (bool answered = false; !answered;) {
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            pending.append(buffer, size_t(n));
            for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string reply = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (reply.starts_with("ok") || reply.starts_with("error"))
                    answered = true;
            }
        }
    }
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
    close(fd);
    return double(lines.size()) / seconds;
}

double Link(const std::string& device, const std::string& file, int count)
{
    TSerialPortTransport port;
    TNullConsole console;
    TGRBLCnc link(port, console);
    port.OnReceived = [&](std::string_view bytes) { link.ParseReply(bytes); };
    if (!port.Open(device, 115200).empty())
        return 0;
    if (!link.Connect())
        return 0;
    // The connect's reset ended check mode.
    link.SendLine("$C");
    while (link.Unanswered() > 0 || link.Queued() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!link.CheckMode())
        return 0;
    link.FileName = file;
    const auto start = TClock::now();
    link.StreamFile(1);
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
    port.Close();
    return link.SentCount == count ? double(count) / seconds : 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    const std::string log = QDir(dir.path()).filePath(QStringLiteral("fakegrbl.log")).toStdString();
    QProcess fake;
    // The fake answers at the pace of a 115200 baud line, as a controller on
    // a serial port does.
    fake.start(QStringLiteral(KB_FAKEGRBL),
               {QStringLiteral("--log"), QString::fromStdString(log), QStringLiteral("--baud"), QStringLiteral("115200")});
    if (!fake.waitForStarted(5000) || !fake.waitForReadyRead(5000)) {
        std::fprintf(stderr, "fakegrbl did not start\n");
        return 1;
    }
    const std::string device = fake.readLine().trimmed().toStdString();

    // Check mode: the fake answers every line at once, as GRBL does there.
    const double check = BareClient(device, {"$C"});
    if (check <= 0) {
        std::fprintf(stderr, "no answer from %s\n", device.c_str());
        return 1;
    }

    std::vector<double> bare, linked;
    int lost = 0, repeated = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::vector<std::string> lines = ProgramLines(count, round);
        size_t from = ReceivedCount(log);
        bare.push_back(BareClient(device, lines));
        auto [l, r] = Compare(lines, Received(log, from));
        lost += l;
        repeated += r;

        const std::string file = QDir(dir.path()).filePath(QStringLiteral("p.nc")).toStdString();
        {
            std::ofstream out(file, std::ios::binary);
            for (const std::string& line : lines)
                out << line << '\n';
        }
        from = ReceivedCount(log);
        linked.push_back(Link(device, file, count));
        // The link's connect and "$C" go ahead of the program.
        std::vector<std::string> received = Received(log, from);
        received.erase(received.begin(), received.begin() + std::min<long>(3, long(received.size())));
        std::tie(l, r) = Compare(lines, received);
        lost += l;
        repeated += r;
        std::printf("round %d: bare client %.1f lines/s, link %.1f lines/s\n", round + 1, bare.back(), linked.back());
    }
    const double share = Median(bare) > 0 ? 100 * Median(linked) / Median(bare) : 0;
    std::printf("%d lines, %d rounds: bare client %.1f lines/s, link %.1f lines/s (median): %.1f %% (goal 95 %%); "
                "%d lines lost, %d repeated\n",
                count, rounds, Median(bare), Median(linked), share, lost, repeated);
    fake.terminate();
    fake.waitForFinished(3000);
    return share >= 95 && lost == 0 && repeated == 0 ? 0 : 2;
}
