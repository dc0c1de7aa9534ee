#include "model/TextDump.h"

#include "model/BusyScope.h"
#include "model/FastFile.h"
#include "model/MapFaults.h"
#include "model/Progress.h"
#include "model/Prompt.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"
#include "template/PropertyTexts.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFlushAt = 4u << 20;

// "000\t" to "255\t".
const std::array<std::array<char, 4>, 256>& ByteTexts() {
    static const auto table = [] {
        std::array<std::array<char, 4>, 256> t{};
        for (int b = 0; b < 256; ++b) t[b] = {char('0' + b / 100), char('0' + b / 10 % 10), char('0' + b % 10), '\t'};
        return t;
    }();
    return table;
}

using SubView = SubrecordViews::View;

class Dumper {
public:
    Dumper(esfile& file, const DumpOptions& o, Progress* progress, std::FILE* out)
        : file_(file), o_(o), progress_(progress), out_(out), sep_(o.TabDelimited ? "\t" : "\n"),
          indent_(o.TabDelimited ? "" : "\t"), texts_(file.Codec()), views_(file.Codec()) {
        buf_.reserve(kFlushAt + (1u << 16));
    }

    bool Run() {
        auto& records = file_.Records();
        for (int i = 0; i <= file_.LastIndex() && i < static_cast<int>(records.size()); ++i) {
            RecordEntry& r = records[static_cast<std::size_t>(i)];
            if (r.Packed && !r.Loaded) file_.LoadRecord(i);
            DumpRecord(r);
            if (MapFaults::Instance().Count() != faults_ || file_.ReadFault() >= 0) {
                faulted_ = true;
                return false;
            }
            if (Cancelled()) break;
            if (buf_.size() >= kFlushAt && !Flush()) return false;
        }
        return Flush();
    }

    // The disk could not give back bytes the dump read; what was written holds zeros.
    bool Faulted() const { return faulted_; }

private:
    const std::uint64_t faults_ = MapFaults::Instance().Count();
    bool faulted_ = false;

    bool Cancelled() const { return file_.Cancelled || (progress_ && progress_->Cancelled()); }

    bool Flush() {
        bool ok = buf_.empty() || std::fwrite(buf_.data(), 1, buf_.size(), out_) == buf_.size();
        buf_.clear();
        return ok;
    }

    // Reports at most a few times a second: building the texts for every subrecord of a big
    // file would cost more than the dump.
    bool ShouldReport() {
        if (!progress_) return false;
        auto now = std::chrono::steady_clock::now();
        if (reported_ && now - last_ < std::chrono::milliseconds(100)) return false;
        reported_ = true;
        last_ = now;
        return true;
    }

    void Number(std::string& out, long long v) {
        char tmp[24];
        auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
        out.append(tmp, r.ptr);
    }

    void RecordLine(const RecordEntry& r) {
        line_.clear();
        if (!o_.Headers) {
            line_ = r.Name;
            return;
        }
        line_ += "Record Name:";
        line_ += r.Name;
        line_ += " Size:";
        Number(line_, r.Size);
        line_ += " Header1:";
        Number(line_, r.Header1);
        line_ += " Flags:";
        Number(line_, r.Flags);
    }

    void AppendSubLine(std::string& out, const SubView& s) {
        if (o_.Headers) out += "SUBRECORD Name:";
        out.append(s.name.substr(0, 4));
        if (!o_.Headers) return;
        out += " Size:";
        Number(out, static_cast<long long>(s.data.size()));
    }

    // Characters with line feed, escape and carriage return spelled out.
    static void AppendText(std::string& out, std::string_view text) {
        static const auto special = [] {
            std::array<bool, 256> t{};
            t['\n'] = t['\r'] = t[27] = true;
            return t;
        }();
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!special[static_cast<unsigned char>(text[i])]) continue;
            out.append(text.substr(from, i - from));
            out += text[i] == '\n' ? "<LINEFEED>" : text[i] == '\r' ? "<ENTER>" : "<ESCAPE>";
            from = i + 1;
        }
        out.append(text.substr(from));
    }

    void AppendRaw(std::string& out, ByteSpan data, std::size_t limit) {
        if (!o_.ByteValues) {
            AppendText(out, {reinterpret_cast<const char*>(data.data()), data.size()});
            return;
        }
        std::size_t n = o_.Trim ? std::min(limit, data.size()) : data.size();
        const auto& table = ByteTexts();
        std::size_t at = out.size();
        out.resize(at + 4 * n);
        char* p = out.data() + at;
        for (std::size_t i = 0; i < n; ++i, p += 4) std::memcpy(p, table[data[i]].data(), 4);
    }

    void EndLine() { buf_ += "\r\n"; }

    void DumpRecord(const RecordEntry& r) {
        RecordLine(r);
        if (o_.Mode == 0) {
            if (ShouldReport()) progress_->Waiting(-1, "Record " + r.Key);
            buf_ += line_;
            buf_ += sep_;
            buf_ += indent_;
            if (!r.Packed && r.SubRecords)
                AppendRaw(buf_, views_.CurrentData(r), 255);
            else
                AppendRaw(buf_, r.Data.span(), 255);
            EndLine();
            return;
        }
        acc_.clear();
        const auto& subs = views_.Read(r);
        for (std::size_t i = 0; i < subs.size(); ++i) {
            const SubView& s = subs[i];
            if (ShouldReport()) progress_->Waiting(-1, "RECORD " + r.Key + " / Subrecord " + views_.KeyOf(i));
            if (o_.Mode == 1)
                RawSubrecord(s);
            else
                DecodedSubrecord(r, s);
            if (Cancelled()) break;
        }
        if (!o_.TabDelimited) {
            buf_ += line_;
            buf_ += acc_;
            EndLine();
        }
    }

    void RawSubrecord(const SubView& s) {
        std::string& out = o_.TabDelimited ? buf_ : acc_;
        if (o_.TabDelimited) {
            out += line_;
            out += '\t';
        } else {
            out += "\n\t";
        }
        AppendSubLine(out, s);
        out += '\t';
        AppendRaw(out, s.data, 253);
        if (o_.TabDelimited) EndLine();
    }

    void DecodedSubrecord(const RecordEntry& r, const SubView& s) {
        if (!o_.TabDelimited) {
            acc_ += "\n\t";
            AppendSubLine(acc_, s);
        }
        if (s.decoded) {
            for (const auto& e : *s.decoded) {
                const auto* text = std::get_if<std::string>(&e.value.Value);
                EmitProperty(s, e.value.Name, text ? std::string_view(*text) : std::string_view(value_ = e.value.Text()),
                             text != nullptr);
            }
            return;
        }
        texts_.Decode(SubrecordViews::TypeOf(r), s.name, s.data);
        for (const auto& item : texts_.Items()) EmitProperty(s, item.name, texts_.Value(item), item.text);
    }

    void EmitProperty(const SubView& s, std::string_view name, std::string_view value, bool text) {
        std::string& out = o_.TabDelimited ? buf_ : acc_;
        if (o_.TabDelimited) {
            out += line_;
            out += '\t';
            AppendSubLine(out, s);
            out += '\t';
        } else {
            out += "\n\t\t";
        }
        if (o_.Headers) {
            out += "PROPERTY ";
            out += name;
            out += ':';
        }
        if (text)
            AppendText(out, value);
        else
            out += value; // numbers and byte lists hold no line breaks
        if (o_.TabDelimited) EndLine();
    }

    esfile& file_;
    const DumpOptions& o_;
    Progress* progress_;
    std::FILE* out_;
    const char* sep_;
    const char* indent_;
    std::string buf_, acc_, line_;
    PropertyTexts texts_;
    std::string value_;
    SubrecordViews views_;
    bool reported_ = false;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace

std::string DumpAsText(esfile& file, const DumpOptions& options, const fs::path& dumpsFolder, Progress* progress) {
    BusyScope<esfile> busy(file, progress);
    file.Cancelled = false;
    std::error_code ec;
    fs::create_directories(dumpsFolder, ec);
    // A file opened outside the collection may have no title yet: its file name serves.
    std::string title = file.FileTitle.empty() ? fs::path(file.FileName).filename().string() : file.FileTitle;
    fs::path path = dumpsFolder / (title + ".txt");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!out) {
        CurrentPrompt().Message("The dump could not be written to " + path.string() + ": " + std::strerror(errno));
        return {};
    }
    Dumper dumper(file, options, progress, out.get());
    bool ok = dumper.Run();
    ok = std::fclose(out.release()) == 0 && ok;
    if (dumper.Faulted() || file.ReadFault() >= 0) {
        // What was read where the disk failed is zeros: no dump of it.
        fs::remove(path, ec);
        const std::int64_t fault = file.ReadFault();
        CurrentPrompt().Message(fault >= 0 ? FastFile::ReadErrorText(fault + 1)
                                           : "The dump was stopped: a file its records come from could not be read back.");
        return {};
    }
    if (!ok) {
        CurrentPrompt().Message("The dump could not be written to " + path.string() + ": " + std::strerror(errno));
        return {};
    }
    return path.string();
}

std::string DumpSavedText(const std::string& fileTitle) {
    return "The dumped text has been saved to \nDumped Text - .../Dumps/" + fileTitle + ".txt";
}

} // namespace vellum
