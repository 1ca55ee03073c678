// pixelnook-fill-bench: how the gallery page fill grows with the number of
// "%image%" placeholders in a template, and what a build's largest template
// costs in memory. Prints a Markdown table; not part of the test suite.
//
//   pixelnook-fill-bench [PLACEHOLDERS...]   (default: 250000 500000 1000000)
//
// Each count is filled twice through the program's gallery page writer,
// writing the pages into a scratch folder: with one picture (every other
// placeholder is removed, and the text after it moves up each time in a
// plain fill) and with as many pictures as placeholders (every placeholder
// becomes a link). The plain rule (search the whole text from its start
// after each replacement) is timed beside it on the smaller counts, to show
// the growth the one-pass fill does away with.
#include "site/FileSystem.h"
#include "site/GalleryPages.h"
#include "site/SiteSettings.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace pixelnook;

namespace {

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The process's peak resident memory since the last ResetPeakRss().
long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

PictureList Pictures(size_t n)
{
    PictureList pictures(n);
    for (size_t k = 0; k < n; ++k)
        pictures[k] = {"p" + std::to_string(k + 1) + ".jpg", "/"};
    return pictures;
}

// The plain rule for the "%image%" step alone, on a page already loaded.
double PlainFillSeconds(const std::string &templateText, size_t pictures)
{
    SiteSettings settings;
    const PictureList list = Pictures(pictures);
    std::string page = ToCrLf(templateText);
    size_t cursor = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const std::string value =
            cursor < pictures ? PictureLink(settings, list, cursor) : std::string();
        if (ReplaceFirst(page, "%image%", value, 0) == std::string::npos)
            break;
        cursor = cursor < pictures ? cursor + 1 : cursor;
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

// CPU time of this process: on a busy machine the wall clock also counts
// the time others took.
double CpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Fill {
    double Seconds = 0;
    double Cpu = 0;
    int Pages = 0;
    uintmax_t Bytes = 0;
};

Fill WritePages(const std::string &folder, const std::string &templateText, size_t pictures)
{
    SiteSettings settings;
    settings.SiteFolder = folder;
    const PictureList list = Pictures(pictures);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    Fill fill;
    fill.Pages = WriteGalleryPages(settings, list, folder + "/template.html", templateText);
    fill.Seconds = Seconds(std::chrono::steady_clock::now() - start);
    fill.Cpu = CpuSeconds() - cpu;
    fill.Bytes = std::filesystem::file_size(folder + "/index1.html");
    return fill;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<size_t> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::strtoul(argv[i], nullptr, 10));
    if (counts.empty())
        counts = {250000, 500000, 1000000};

    std::string pattern =
        (std::filesystem::temp_directory_path() / "pixelnook-fill-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = pattern;

    // The largest template a build reads, filled for one picture: the peak
    // memory of the process beside the template's size.
    std::string largest(static_cast<size_t>(kMaxTemplateBytes), 'x');
    for (size_t at = 0; at + 7 <= largest.size(); at += 4096)
        largest.replace(at, 7, "%image%");
    WriteWholeFile(folder + "/largest.html", largest);
    largest.clear();
    largest.shrink_to_fit();
    ResetPeakRss();
    const long before = ResidentKb();
    SiteSettings settings;
    settings.SiteFolder = folder;
    const auto start = std::chrono::steady_clock::now();
    WriteGalleryPages(settings, Pictures(1), folder + "/largest.html");
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    const long peak = PeakRssKb();
    std::printf("A %llu MiB template (one \"%%image%%\" every 4 KiB) read and filled for one "
                "picture: %.2f s; "
                "the memory grew by %.1f MiB at its peak (%.1f times the template).\n",
                static_cast<unsigned long long>(kMaxTemplateBytes >> 20), seconds,
                (peak - before) / 1024.0,
                static_cast<double>(peak - before) * 1024 / static_cast<double>(kMaxTemplateBytes));
    std::printf("\n");

    std::printf(
        "| Placeholders | Template (MB) | Pictures | Page (MB) | One-pass fill (s) | Its CPU "
        "(s) | Plain rule (s) |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const size_t count : counts) {
        std::string templateText;
        templateText.reserve(count * 8);
        for (size_t i = 0; i < count; ++i)
            templateText += "%image%\n";
        for (const size_t pictures : {size_t(1), count}) {
            const Fill fill = WritePages(folder, templateText, pictures);
            // The plain rule grows with the square of the count: timed only
            // where it ends within a minute or so.
            const std::string plain =
                count <= 100000
                    ? std::to_string(PlainFillSeconds(templateText, pictures)).substr(0, 6)
                    : "-";
            std::printf("| %zu | %.1f | %zu | %.1f | %.2f | %.2f | %s |\n", count,
                        templateText.size() / 1e6, pictures, static_cast<double>(fill.Bytes) / 1e6,
                        fill.Seconds, fill.Cpu, plain.c_str());
            std::fflush(stdout);
        }
    }

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
