// The thumbnail stage of a build: every picture's thumbnail, in list order as
// far as anyone can observe, with the decoding spread over worker threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pixelnook {

struct ThumbnailJob {
    std::string SourcePath;
    std::string TargetPath;
};

// Makes the thumbnails of all jobs. Files are deleted, created and written in
// job order by the calling thread; the first job in order that fails throws
// its SiteError and nothing of a later job is written. workers == 0 means one
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
// written, when given, is called on the calling thread after each thumbnail
// file is written, with the number written so far.
void MakeThumbnails(const std::vector<ThumbnailJob> &jobs, const std::string &sizeText,
                    unsigned workers, uint64_t memoryBudget = 0, uint64_t memoryCap = 0,
                    const std::function<void(size_t written)> &written = {});

} // namespace pixelnook
