// How fast the simulated handset answers: the pure core per command, and the phonesim program over
// a pseudo-terminal to a simple client loop that writes a short command and reads to its OK (the
// target is at least 5,000 commands a second).
#include "phonesim/PhoneSim.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace orvia::phonesim;

namespace {

void BM_CoreShortCommand(benchmark::State &state)
{
    PhoneSim sim{QStringLiteral("K110")};
    sim.setRecording(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(sim.receive("AT+CGMM\r"));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoreShortCommand);

void BM_CorePhonebookRead(benchmark::State &state)
{
    HandsetContents c = HandsetContents::forModel(QStringLiteral("L420"));
    for (int i = 1; i <= 250; ++i)
        c.sim.entries[i] = {QStringLiteral("+49301234%1").arg(i), 145, QStringLiteral("Name %1").arg(i), 0};
    PhoneSim sim(c);
    sim.setRecording(false);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(sim.receive("AT+CPBR=" + QByteArray::number(i++ % 250 + 1) + '\r'));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CorePhonebookRead);

// The phonesim program beside this benchmark, on its own pseudo-terminal.
class Server
{
public:
    Server()
    {
        char self[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        std::string dir(self, n > 0 ? static_cast<size_t>(n) : 0);
        dir = dir.substr(0, dir.rfind('/') + 1);
        const std::string program = dir + "phonesim";
        int out[2];
        if (::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], 1);
            const int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            ::execl(program.c_str(), "phonesim", "--model", "K110", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char path[256] = {};
        size_t got = 0;
        while (got < sizeof path - 1) {
            const ssize_t r = ::read(out[0], path + got, 1);
            if (r <= 0 || path[got] == '\n')
                break;
            ++got;
        }
        path[got] = 0;
        ::close(out[0]);
        m_path = path;
    }
    ~Server()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string &path() const { return m_path; }

private:
    pid_t m_pid = -1;
    std::string m_path;
};

void BM_PtyShortCommands(benchmark::State &state)
{
    Server server;
    const int fd = server.path().empty() ? -1 : ::open(server.path().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        state.SkipWithError("phonesim did not start");
        return;
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    static const char command[] = "AT\r";
    char buf[256];
    for (auto _ : state) {
        if (::write(fd, command, sizeof command - 1) != sizeof command - 1) {
            state.SkipWithError("write failed");
            break;
        }
        std::string reply;
        while (reply.find("OK\r\n") == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) {
                state.SkipWithError("no answer");
                break;
            }
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            reply.append(buf, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("commands a second over a pseudo-terminal; target 5000");
}
BENCHMARK(BM_PtyShortCommands)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
