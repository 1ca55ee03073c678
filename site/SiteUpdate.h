// An update build: from the record of the last update it decides which
// pictures need no new thumbnail or copy, which pages keep their bytes,
// which files of the last update to remove, and which files at the names
// the build writes are not its own; at the end it writes the new record.
//
// A file is ours when the record lists it and it still has the stamp it had
// when it was written, or, with another stamp (a site copied or restored
// elsewhere), still holds the bytes written: a thumbnail or page whose hash
// matches, a copy equal to its unchanged source. Anything else at a name the
// build writes (a file the user put there, or one edited since) refuses the
// update before anything is written; such a file among those the update
// would remove is kept and reported.
#pragma once

#include "BuildRecord.h"
#include "BuildSite.h"
#include "SiteSettings.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pixelnook {

class SiteUpdate {
public:
    // Reads the record and looks at every name the build writes.
    // copyInPlace[k]: picture k's copy path is the picture itself, which the
    // copy stage leaves alone; it is never the build's own file.
    SiteUpdate(const SiteSettings &settings, const PictureList &pictures, int pageCount,
               const std::vector<bool> &copyInPlace);

    // Why the update may not run, or empty: an unreadable record, or files
    // at the names it writes that are not its own.
    const std::string &Refusal() const { return refusal_; }

    // Before the first change on disk: writes the record again with every
    // name this build writes or removes marked as pending, so a build that
    // stops midway leaves a record that says so.
    void Begin();

    // Whether picture k needs a new thumbnail or copy.
    bool MakesThumbnail(size_t k) const;
    bool MakesCopy(size_t k) const;

    // Writes the page unless the file already holds exactly these bytes.
    void WritePage(const std::string &path, const std::string &text);

    // After the last stage: removes what the last update wrote and this one
    // did not (files, then its folders once empty), writes the record, and
    // puts the counts and the kept files into the result.
    void Finish(BuildResult &result);

private:
    enum class Status {
        Absent,  // nothing at the name
        Ours,    // the file the record lists, as it was written
        Unknown, // ours in a state nobody knows (no record, or pending): written again
        Foreign, // not ours: refuses the update
    };
    struct Output {
        OutputKind Kind = OutputKind::Page;
        std::string Path; // relative to the site folder
        Status State = Status::Absent;
        FileStamp Stamp;                   // what is there now, when it is a file
        const RecordedFile *Old = nullptr; // its entry in the record
        bool Skip = false;                 // left as it is
        std::optional<RecordedFile> New;   // what the record will say of it
    };

    std::string Relative(const std::string &path) const;
    std::string Absolute(const std::string &relative) const;
    size_t AddOutput(OutputKind kind, const std::string &path);
    void Classify(Output &output, std::vector<std::string> &foreign);
    bool HoldsWhatWasWritten(const std::string &relative, const RecordedFile &old) const;
    RecordedFile SourceEntry(OutputKind kind, size_t k) const;
    void RemoveStale(BuildResult &result);

    const SiteSettings &settings_;
    const PictureList &pictures_;
    std::string recordPath_;
    std::string refusal_;
    std::optional<BuildRecord> old_;
    std::vector<Output> outputs_;
    std::unordered_map<std::string, size_t> byPath_;
    std::vector<size_t> thumbnails_; // output index of picture k's thumbnail
    std::vector<long> copies_;       // output index of picture k's copy, -1 when in place
    std::vector<std::optional<FileStamp>> sources_;
    std::vector<std::string> folders_;
    std::vector<std::string> inPlaceCopies_;
};

// Every setting that shapes the bytes of a thumbnail or of a copy, as one
// text. Names and folders are matched by path and pages by their bytes, so
// they have no place here; a new setting that changes these bytes is one
// line in the function.
std::string ThumbnailSettings(const SiteSettings &settings);
std::string CopySettings(const SiteSettings &settings);

} // namespace pixelnook
