// The thumbnail stage of a build: every picture's thumbnail, in list order as
// far as anyone can observe, with the decoding spread over worker threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pixelnook {

// One picture's part of the stage: its thumbnail at TargetPath (none when
// empty) and its web copy, longest side at most WebSize, at WebCopyPath
// (none when empty), both from one decode of the picture where it can be.
struct ThumbnailJob {
    std::string SourcePath;
    std::string TargetPath;
    std::string WebCopyPath;
    int WebSize = 0;
};

// What a job's web copy came to, for the completed page's line.
struct WebCopyMade {
    bool Made = false;
    bool HadLocation = false; // the picture carried a place, which the copy does not
    uint64_t SourceBytes = 0;
    uint64_t CopyBytes = 0;
};

// Makes the thumbnails and web copies of all jobs. Files are deleted,
// created and written in job order by the calling thread, a job's thumbnail
// before its web copy; the first job in order that fails throws its
// SiteError and nothing of a later job is written. workers == 0 means one
// per core; at most one picture per worker is in flight.
//
// The pictures being decoded at once share a memory budget (memoryBudget
// bytes, or 64 MiB per worker when 0), charged with what each picture's
// headers say it needs; a picture larger than the whole budget is decoded
// while no other picture is. Beyond that plan, the memory the decodes in
// flight may hold together is memoryCap (DecodeMemoryCap() when 0), which
// is also the most one picture may take alone: a picture that needs more
// fails with ThumbnailMemoryError.
//
// written, when given, is called on the calling thread after each job's
// files are written, with the number of jobs written so far. Returns what
// each job's web copy came to.
std::vector<WebCopyMade> MakeThumbnails(const std::vector<ThumbnailJob> &jobs,
                                        const std::string &sizeText, unsigned workers,
                                        uint64_t memoryBudget = 0, uint64_t memoryCap = 0,
                                        const std::function<void(size_t written)> &written = {});

} // namespace pixelnook
