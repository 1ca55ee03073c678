#include "SiteUpdate.h"

#include "FileSystem.h"
#include "SiteError.h"
#include "SiteLayout.h"

#include <algorithm>
#include <set>
#include <unistd.h>

#ifndef PIXELNOOK_VERSION
#error "PIXELNOOK_VERSION names the program's version"
#endif

namespace pixelnook {

namespace {

// At most this many names are listed in a refusal; the rest are counted.
constexpr size_t kNamesListed = 20;

std::string Settings(std::initializer_list<std::string> fields)
{
    std::string text;
    for (const std::string &field : fields) {
        if (!text.empty())
            text += ' ';
        text += field;
    }
    return text;
}

bool ReadsAs(const std::string &path, const std::string &hash)
{
    try {
        const std::vector<unsigned char> bytes = ReadWholeFile(path);
        return HashBytes(bytes.data(), bytes.size()) == hash;
    } catch (const SiteError &) {
        return false;
    }
}

bool SameBytes(const std::string &a, const std::string &b)
{
    try {
        return ReadWholeFile(a) == ReadWholeFile(b);
    } catch (const SiteError &) {
        return false;
    }
}

std::string Listed(const std::vector<std::string> &lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size() && i < kNamesListed; ++i)
        text += "\n  " + lines[i];
    if (lines.size() > kNamesListed)
        text += "\n  and " + std::to_string(lines.size() - kNamesListed) + " more";
    return text;
}

} // namespace

std::string ThumbnailSettings(const SiteSettings &settings)
{
    return Settings({
        "program=" PIXELNOOK_VERSION,
        "size=" + settings.ThumbnailSize,
    });
}

std::string CopySettings(const SiteSettings &settings)
{
    // Plain copies keep the record of earlier versions; web-ready and
    // stripped copies are made again when their choice changes.
    if (settings.WebReady)
        return Settings(
            {"program=" PIXELNOOK_VERSION, "web-size=" + std::to_string(settings.WebSize)});
    if (settings.StripLocation)
        return Settings({"program=" PIXELNOOK_VERSION, "strip-location"});
    return Settings({
        "program=" PIXELNOOK_VERSION,
    });
}

SiteUpdate::SiteUpdate(const SiteSettings &settings, const PictureList &pictures, int pageCount,
                       const std::vector<bool> &copyInPlace)
    : settings_(settings), pictures_(pictures),
      recordPath_(settings.SiteFolder + "/" + kBuildRecordName)
{
    const PathState recordState = StateOf(recordPath_);
    if (recordState.Exists) {
        try {
            if (!recordState.Regular)
                throw RecordError("it is not a plain file");
            const std::vector<unsigned char> bytes = ReadWholeFile(recordPath_);
            old_ = ParseRecord(std::string(bytes.begin(), bytes.end()));
        } catch (const std::exception &e) {
            refusal_ = "The build record \"" + recordPath_ + "\" cannot be read: " + e.what() +
                       ". Nothing was written. Move it out of the site folder to build the site in "
                       "full (files of earlier builds that are no longer needed then stay)";
            return;
        }
    }

    std::vector<std::string> badNames;
    const auto layoutFolder = [&](const std::string &folder) {
        const std::string relative = Relative(folder);
        if (IsSitePath(relative))
            folders_.push_back(relative);
        else
            badNames.push_back(relative);
    };
    layoutFolder(ImagesFolder(settings));
    layoutFolder(ThumbnailsFolder(settings));
    if (settings.MakeImagePages)
        layoutFolder(ImagePagesFolder(settings));

    for (size_t k = 0; k < pictures.size(); ++k) {
        thumbnails_.push_back(
            AddOutput(OutputKind::Thumbnail, ThumbnailPath(settings, pictures[k])));
        if (k < copyInPlace.size() && copyInPlace[k]) {
            copies_.push_back(-1);
            inPlaceCopies_.push_back(Relative(CopyPath(settings, pictures[k])));
        } else {
            copies_.push_back(
                static_cast<long>(AddOutput(OutputKind::Copy, CopyPath(settings, pictures[k]))));
        }
        sources_.push_back(SourceStampOf(pictures[k].SourcePath()));
    }
    if (settings.MakeImagePages)
        for (size_t k = 1; k <= pictures.size(); ++k)
            AddOutput(OutputKind::Page, ImagePagePath(settings, k));
    for (int p = 1; p <= pageCount; ++p)
        AddOutput(OutputKind::Page, GalleryPagePath(settings.SiteFolder, p));

    std::vector<std::string> twice;
    std::set<std::string> seen;
    for (const Output &output : outputs_) {
        if (!IsSitePath(output.Path))
            badNames.push_back(output.Path);
        else if (!seen.insert(output.Path).second)
            twice.push_back(output.Path);
    }
    if (!badNames.empty()) {
        refusal_ =
            "An update keeps every file inside the site folder under a name of its own, and these "
            "names have an empty, \".\" or \"..\" part or are the build record's:" +
            Listed(badNames);
        return;
    }
    if (!twice.empty()) {
        refusal_ =
            "An update writes every file under a name of its own, and these names would be "
            "written twice (a thumbnail prefix that makes a thumbnail's name another picture's, "
            "say):" +
            Listed(twice);
        return;
    }

    std::vector<std::string> foreign;
    for (Output &output : outputs_)
        Classify(output, foreign);
    if (!foreign.empty()) {
        refusal_ =
            "The update would overwrite files that the last update did not write or that changed "
            "since (a build without --update changes them too); nothing was written. Move them "
            "out of the site folder, or the build record to build in full, and build again:" +
            Listed(foreign);
        return;
    }

    // A picture chosen from among the files the build writes is never left
    // as it is: its thumbnail or copy could be made from what this very
    // build is about to replace.
    std::set<std::pair<uint64_t, uint64_t>> written;
    for (const Output &output : outputs_)
        if (output.State != Status::Absent)
            written.insert({output.Stamp.Device, output.Stamp.Inode});
    for (size_t k = 0; k < pictures.size(); ++k) {
        const std::optional<FileStamp> &source = sources_[k];
        const bool fromOutputs = !source || written.count({source->Device, source->Inode}) > 0;
        for (const long index : {static_cast<long>(thumbnails_[k]), copies_[k]}) {
            if (index < 0)
                continue;
            Output &output = outputs_[static_cast<size_t>(index)];
            const RecordedFile wanted = SourceEntry(output.Kind, k);
            output.Skip =
                !fromOutputs && output.State == Status::Ours && output.Old->Kind == output.Kind &&
                output.Old->Settings == wanted.Settings && output.Old->Source == wanted.Source &&
                output.Old->SourceStamp == wanted.SourceStamp;
        }
    }
}

std::string SiteUpdate::Relative(const std::string &path) const
{
    return path.substr(settings_.SiteFolder.size() + 1);
}

std::string SiteUpdate::Absolute(const std::string &relative) const
{
    return settings_.SiteFolder + "/" + relative;
}

size_t SiteUpdate::AddOutput(OutputKind kind, const std::string &path)
{
    Output output;
    output.Kind = kind;
    output.Path = Relative(path);
    outputs_.push_back(output);
    byPath_.emplace(outputs_.back().Path, outputs_.size() - 1);
    return outputs_.size() - 1;
}

// Decides whose the file at an output's name is.
void SiteUpdate::Classify(Output &output, std::vector<std::string> &foreign)
{
    const PathState state = StateOf(Absolute(output.Path));
    output.Stamp = state.Stamp;
    if (!state.Exists) {
        output.State = Status::Absent;
        return;
    }
    if (!old_) {
        // No record: the site was never updated, and the build replaces
        // what is at its names as a build without --update does.
        output.State = Status::Unknown;
        return;
    }
    const auto entry = old_->Files.find(output.Path);
    const RecordedFile *old = entry == old_->Files.end() ? nullptr : &entry->second;
    const bool pending = old_->Pending.count(output.Path) > 0;
    if (!state.Regular) {
        foreign.push_back(output.Path + ": not a plain file");
        output.State = Status::Foreign;
    } else if (old && state.Stamp == old->Stamp) {
        output.State = Status::Ours;
        output.Old = old;
    } else if (pending) {
        output.State = Status::Unknown;
    } else if (old && HoldsWhatWasWritten(output.Path, *old)) {
        output.State = Status::Ours;
        output.Old = old;
    } else {
        foreign.push_back(output.Path + (old ? ": changed since the last update wrote it"
                                             : ": not written by an update of this site"));
        output.State = Status::Foreign;
    }
}

// A file whose stamp changed (the site was copied, or restored from a
// backup) still counts as ours while it holds the bytes that were written:
// thumbnails and pages are checked by their hash; a copy against its
// source, when the source is as it was then. Only files whose stamp
// changed are read, so an ordinary update reads none.
bool SiteUpdate::HoldsWhatWasWritten(const std::string &relative, const RecordedFile &old) const
{
    const std::string path = Absolute(relative);
    if (old.Kind != OutputKind::Copy)
        return ReadsAs(path, old.Hash);
    const std::optional<FileStamp> source = SourceStampOf(old.Source);
    return source && *source == old.SourceStamp && SameBytes(path, old.Source);
}

RecordedFile SiteUpdate::SourceEntry(OutputKind kind, size_t k) const
{
    RecordedFile entry;
    entry.Kind = kind;
    entry.Settings =
        kind == OutputKind::Thumbnail ? ThumbnailSettings(settings_) : CopySettings(settings_);
    entry.Source = pictures_[k].SourcePath();
    if (sources_[k])
        entry.SourceStamp = *sources_[k];
    return entry;
}

void SiteUpdate::Begin()
{
    BuildRecord pending = old_ ? *old_ : BuildRecord();
    for (const Output &output : outputs_)
        if (!output.Skip)
            pending.Pending.insert(output.Path);
    pending.Folders.insert(folders_.begin(), folders_.end());
    CreateFolders(settings_.SiteFolder);
    ReplaceFileAtomically(recordPath_, RecordText(pending));
}

bool SiteUpdate::MakesThumbnail(size_t k) const
{
    return !outputs_[thumbnails_[k]].Skip;
}

bool SiteUpdate::MakesCopy(size_t k) const
{
    return copies_[k] >= 0 && !outputs_[static_cast<size_t>(copies_[k])].Skip;
}

void SiteUpdate::WritePage(const std::string &path, const std::string &text)
{
    Output &output = outputs_[byPath_.at(Relative(path))];
    const std::string hash = HashBytes(text);
    if (output.State == Status::Ours && output.Old->Kind == OutputKind::Page &&
        output.Old->Hash == hash) {
        output.Skip = true;
        return;
    }
    output.Skip = false;
    if (output.State == Status::Ours)
        RewriteOwnFile(path, text); // the record says it is ours, as written
    else
        WriteWholeFile(path, text);
    RecordedFile entry;
    entry.Kind = OutputKind::Page;
    entry.Hash = hash;
    entry.Stamp = StateOf(path).Stamp;
    output.New = entry;
}

void SiteUpdate::RemoveStale(BuildResult &result)
{
    if (!old_)
        return;
    std::set<std::string> stale;
    for (const auto &entry : old_->Files)
        stale.insert(entry.first);
    stale.insert(old_->Pending.begin(), old_->Pending.end());
    for (const Output &output : outputs_)
        stale.erase(output.Path);
    for (const std::string &path : inPlaceCopies_)
        stale.erase(path);

    for (const std::string &relative : stale) {
        const std::string path = Absolute(relative);
        const PathState state = StateOf(path);
        if (!state.Exists)
            continue;
        const auto entry = old_->Files.find(relative);
        const RecordedFile *old = entry == old_->Files.end() ? nullptr : &entry->second;
        std::string reason;
        if (!state.Regular)
            reason = "no longer a plain file";
        else if ((old && state.Stamp == old->Stamp) || old_->Pending.count(relative) ||
                 (old && HoldsWhatWasWritten(relative, *old)))
            reason.clear();
        else
            reason = "changed since the last update wrote it";
        if (!reason.empty()) {
            result.KeptFiles.push_back({relative, reason});
            continue;
        }
        if (::unlink(path.c_str()) == 0)
            ++result.FilesRemoved;
        else
            result.KeptFiles.push_back({relative, "it could not be removed"});
    }

    // Folders of the last update's layout that this one no longer uses go
    // once empty, with their empty parents inside the site folder.
    for (const std::string &folder : old_->Folders) {
        std::string relative = folder;
        while (!relative.empty()) {
            const bool inUse =
                std::any_of(folders_.begin(), folders_.end(), [&](const std::string &f) {
                    return f == relative || f.rfind(relative + "/", 0) == 0;
                });
            if (inUse || ::rmdir(Absolute(relative).c_str()) != 0)
                break;
            const size_t slash = relative.rfind('/');
            relative = slash == std::string::npos ? std::string() : relative.substr(0, slash);
        }
    }
}

void SiteUpdate::Finish(BuildResult &result)
{
    RemoveStale(result);

    BuildRecord record;
    for (const PictureEntry &picture : pictures_)
        record.Pictures.push_back(picture.FileName);
    record.Folders.insert(folders_.begin(), folders_.end());

    // Thumbnails and copies are looked at again now that they are written:
    // a thumbnail is read back for its hash (a few kilobytes), a copy only
    // stamped. A copy that failed is not there and not recorded.
    for (size_t k = 0; k < pictures_.size(); ++k) {
        for (const long index : {static_cast<long>(thumbnails_[k]), copies_[k]}) {
            if (index < 0)
                continue;
            Output &output = outputs_[static_cast<size_t>(index)];
            if (output.Skip)
                continue;
            const std::string path = Absolute(output.Path);
            const PathState state = StateOf(path);
            if (!state.Regular)
                continue;
            RecordedFile entry = SourceEntry(output.Kind, k);
            entry.Stamp = state.Stamp;
            if (output.Kind == OutputKind::Thumbnail) {
                const std::vector<unsigned char> bytes = ReadWholeFile(path);
                entry.Hash = HashBytes(bytes.data(), bytes.size());
            }
            output.New = entry;
        }
    }

    for (const Output &output : outputs_) {
        if (output.Skip) {
            RecordedFile entry = *output.Old;
            entry.Stamp = output.Stamp;
            record.Files.emplace(output.Path, entry);
            ++result.FilesUnchanged;
        } else if (output.New) {
            record.Files.emplace(output.Path, *output.New);
            ++result.FilesWritten;
        }
    }

    const std::set<std::string> before =
        old_ ? std::set<std::string>(old_->Pictures.begin(), old_->Pictures.end())
             : std::set<std::string>();
    std::set<std::string> now;
    for (size_t k = 0; k < pictures_.size(); ++k) {
        now.insert(pictures_[k].FileName);
        if (!before.count(pictures_[k].FileName))
            ++result.PicturesNew;
        else if (MakesThumbnail(k) || MakesCopy(k))
            ++result.PicturesChanged;
        else
            ++result.PicturesUnchanged;
    }
    for (const std::string &name : before)
        if (!now.count(name))
            ++result.PicturesRemoved;

    ReplaceFileAtomically(recordPath_, RecordText(record));
}

} // namespace pixelnook
