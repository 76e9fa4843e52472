#pragma once
// The settings file "Quilvern.ini": a sectioned key=value text file of Windows-1252
// bytes. An IniFile is opened by one settings storage for one restore or save and
// dropped afterwards, so it is built to be cheap: the file is read once, on the first
// call that needs it, into lines plus an index from section and key to line; writes
// change that copy only, and Flush puts the whole file on disk in one safe step.
//
// Rules kept for compatibility with files written by earlier versions and by hand:
// - sections and keys match without regard to ASCII letter case; the first
//   occurrence of a section, and of a key within it, is the one read and written;
// - a value is the text after the first "=", trimmed of blanks, with one enclosing
//   pair of double or single quotes removed, and at most 2047 bytes of it;
// - empty lines, lines starting with ";" and any other line that is not an entry are
//   kept byte for byte and never removed; every line is written ending in CR LF;
// - reading accepts CR LF, LF and lone CR line ends; any byte, NUL included, is data.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quilvern {

class IniFile {
  public:
    // The longest value a read returns, in bytes; the rest of a longer one is cut.
    static constexpr std::size_t kMaxValueLength = 2047;
    // Four times the largest file the program writes (216 keys, 52 of them texts of
    // kMaxValueLength): a larger one is not the program's, and is not read (it counts as
    // unreadable, so it is never replaced either).
    static constexpr std::size_t kMaxFileSize = 512 * 1024;

    // displayName is the name the user sees in "Unable to write to %s". Constructing
    // does not touch the file.
    explicit IniFile(std::string path, std::string displayName = "Quilvern.ini");
    // A file in memory only, empty at first: written to and read back as text.
    IniFile() = default;
    // A file in memory only that holds these bytes, as if read from a file.
    struct FromText {};
    static constexpr FromText kFromText{};
    IniFile(FromText, std::string bytes);
    // The lines point into the object's own buffers, so it stays where it was made.
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // The value of the key, or def (unchanged) when the file, the section or the key
    // is missing. A file that cannot be read counts as missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A text of more than two bytes beginning "0x" or "0X" is read as hexadecimal (up
    // to 32 bits, two's complement); otherwise an optional sign and decimal digits
    // within the 32-bit range. Anything else, an empty value included, yields def.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;

    // Replaces the key's value where it stands, or adds the key after the last entry
    // of its section, or adds the section at the end. CR and LF in the value become
    // blanks so that no value can split a line; section and key must hold neither.
    // Nothing reaches the disk before Flush.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);  // "1"/"0"

    // Puts the file on disk when anything was written since the last Flush, replacing
    // it safely (see ReplaceFile). A target that is read-only by its mode bits, or that
    // existed but could not be read, is refused rather than replaced. On any failure the
    // file stays exactly as it was and Error("Unable to write to <displayName>") is
    // thrown; the written values stay in memory, so Flush may be tried again.
    void Flush();

    // The whole file as it stands in memory, as Flush would write it.
    std::string Text() const;

  private:
    // Case-insensitive (ASCII) hashing and comparison.
    struct NoCaseHash {
        std::size_t operator()(std::string_view text) const;
    };
    struct NoCaseEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // Keys are views into the lines themselves, which never move (see text_).
    using Index = std::unordered_map<std::string_view, std::size_t, NoCaseHash, NoCaseEqual>;

    // One section line with the lines up to the next one. The lines before the first
    // section form a block without a header, which no lookup ever reaches.
    struct Block {
        std::string_view header;              // the section line as it stands
        std::vector<std::string_view> lines;  // without their line ends
        Index keys;                           // first occurrence of each key -> index in lines
        std::ptrdiff_t lastEntry = -1;        // index of the last entry line; new keys go after it
    };

    void Load() const;
    void Parse() const;
    std::string_view Keep(std::string text);
    std::string Serialize() const;
    const std::string_view* FindLine(std::string_view section, std::string_view key) const;
    [[noreturn]] void FailWrite() const;

    std::string path_;
    std::string displayName_;
    // The copy in memory is filled on first use, also by the const readers. Every line
    // is a view: into the bytes read, or into a text kept for a line written. Both stay
    // put until the object dies, so no line is ever copied or moved.
    mutable bool loaded_ = false;
    mutable bool unreadable_ = false;  // the file exists but its bytes could not be read
    mutable bool existed_ = false;     // a file was there when it was loaded
    mutable std::string read_;         // the bytes as read; never changed afterwards
    std::deque<std::string> text_;     // the lines and section lines written
    std::string flushed_;              // the bytes of the last Flush
    bool flushedOnce_ = false;
    mutable std::vector<Block> blocks_;
    mutable Index sections_;  // first occurrence of each section -> index in blocks_
    bool dirty_ = false;      // a write happened since the last Flush
};

// Throws Error("Cannot open file %s") naming the file when it exists but cannot be
// read, or an Error saying it is too large past IniFile::kMaxFileSize: the program then
// starts from the designed values and must say why.
void ExpectReadable(const std::string& path);

// Where the settings file lives: $XDG_CONFIG_HOME/Quilvern.ini, or
// $HOME/.config/Quilvern.ini when XDG_CONFIG_HOME is unset, empty or not absolute.
// Creates the directory when missing; a directory that cannot be created is left to
// surface as a failure to write the file.
std::string SettingsFilePath();

}  // namespace quilvern
