/// \file
/// A lock file's text: one line per class, per field and per value shown,
/// written in one fixed order, so that writing it twice gives the same
/// bytes and a change shows as whole lines of a diff; and the same text
/// read back.
#ifndef TAMBERLO_LOCK_FILE_H_
#define TAMBERLO_LOCK_FILE_H_

#include <tamberlo/lock_layout.h>

#include <charconv>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tamberlo::detail {

// A lock file that cannot be read; the message names the line.
class LockFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline void appendLocked(std::string& text, const LockedClass& locked) {
  if (locked.isStruct) {
    text += "struct " + locked.name;
  } else {
    text += "class " + locked.name + " family " +
            std::to_string(locked.family) + " version " +
            std::to_string(locked.version);
  }
  text += " size " + std::to_string(locked.size) + '\n';
  for (const LockedField& field : locked.fields) {
    text += "field " + locked.name + "::" + field.name + ' ' + field.kind +
            " offset " + std::to_string(field.offset) + " size " +
            std::to_string(field.size) + " type " + field.type + '\n';
  }
  for (const LockedValue& value : locked.defaults) {
    text += "default " + value.reader + "::" + value.field + ' ' + value.text +
            '\n';
  }
  if (!locked.record.empty()) {
    text += "record " + locked.name + ' ' + locked.record + '\n';
  }
  for (const LockedValue& value : locked.reads) {
    text += "read " + locked.name + " as " + value.reader + "::" + value.field +
            ' ' + value.text + '\n';
  }
}

// The text of `lock`: a comment that names `updateTarget`, the target
// line, each class with its fields, what it shows of a fresh chain, its
// record and what each version shows of that, then each value struct with
// its fields.
inline std::string lockText(const Lock& lock, std::string_view updateTarget) {
  std::string text = "# Released versions, locked. Build the target ";
  text += updateTarget;
  text += " to rewrite this file when a change is deliberate.\n";
  text += "target " + lock.target + '\n';
  for (const LockedClass& locked : lock.classes) appendLocked(text, locked);
  for (const LockedClass& locked : lock.structs) appendLocked(text, locked);
  return text;
}

// The first `count - 1` words of `line`, split at single spaces, and the
// rest of it; fewer where the line has fewer.
inline std::vector<std::string_view> wordsOf(std::string_view line,
                                             std::size_t count) {
  std::vector<std::string_view> words;
  for (auto space = line.find(' ');
       words.size() + 1 < count && space != std::string_view::npos;
       space = line.find(' ')) {
    words.push_back(line.substr(0, space));
    line.remove_prefix(space + 1);
  }
  words.push_back(line);
  return words;
}

template <typename Number>
Number lockNumber(std::string_view word) {
  Number value{};
  const char* end = word.data() + word.size();
  const auto read = std::from_chars(word.data(), end, value);
  if (read.ec != std::errc{} || read.ptr != end || word.empty()) {
    throw LockFileError("not a number: " + std::string(word));
  }
  return value;
}

// Reads a lock's text line by line into `lock`.
class LockReader {
 public:
  explicit LockReader(Lock& lock) : lock_(lock) {}

  void line(std::string_view line) {
    if (line.empty() || line.front() == '#') return;
    const std::string_view tag = wordsOf(line, 2).front();
    if (tag == "target") {
      const auto w = wordsOf(line, 2);
      expect(w.size() == 2, line);
      lock_.target = w[1];
    } else if (tag == "class") {
      const auto w = wordsOf(line, 8);
      expect(w.size() == 8 && w[2] == "family" && w[4] == "version" &&
                 w[6] == "size",
             line);
      lock_.classes.push_back(lockedClass(
          w[1], false, lockNumber<std::int32_t>(w[3]),
          lockNumber<std::int32_t>(w[5]), lockNumber<std::size_t>(w[7])));
      current_ = &lock_.classes.back();
    } else if (tag == "struct") {
      const auto w = wordsOf(line, 4);
      expect(w.size() == 4 && w[2] == "size", line);
      lock_.structs.push_back(
          lockedClass(w[1], true, 0, 0, lockNumber<std::size_t>(w[3])));
      current_ = &lock_.structs.back();
    } else if (tag == "field") {
      field(line);
    } else if (tag == "default") {
      const auto w = wordsOf(line, 3);
      expect(w.size() == 3 && inClass(), line);
      current_->defaults.push_back(value(w[1], w[2], line));
      expect(current_->defaults.back().reader == current_->name, line);
    } else if (tag == "record") {
      const auto w = wordsOf(line, 3);
      expect(w.size() == 3 && inClass() && current_->name == w[1], line);
      current_->record = w[2];
    } else if (tag == "read") {
      const auto w = wordsOf(line, 5);
      expect(w.size() == 5 && w[2] == "as" && inClass() &&
                 !current_->record.empty() && current_->name == w[1],
             line);
      current_->reads.push_back(value(w[3], w[4], line));
    } else {
      expect(false, line);
    }
  }

 private:
  static void expect(bool holds, std::string_view line) {
    if (!holds) throw LockFileError("not a lock line: " + std::string(line));
  }

  [[nodiscard]] bool inClass() const {
    return current_ != nullptr && !current_->isStruct;
  }

  // The value `text` that `where`, `Reader::field`, names.
  static LockedValue value(std::string_view where, std::string_view text,
                           std::string_view line) {
    const auto split = where.rfind("::");
    expect(split != std::string_view::npos, line);
    return {std::string(where.substr(0, split)),
            std::string(where.substr(split + 2)), std::string(text)};
  }

  void field(std::string_view line) {
    const auto w = wordsOf(line, 9);
    expect(
        w.size() == 9 && w[3] == "offset" && w[5] == "size" && w[7] == "type" &&
            (w[2] == "stored" || w[2] == "forwarding" || w[2] == "converted"),
        line);
    const auto split = w[1].rfind("::");
    expect(split != std::string_view::npos && current_ != nullptr &&
               w[1].substr(0, split) == current_->name,
           line);
    current_->fields.push_back(
        {std::string(w[1].substr(split + 2)), std::string(w[2]),
         lockNumber<std::size_t>(w[4]), lockNumber<std::size_t>(w[6]),
         std::string(w[8])});
  }

  Lock& lock_;
  LockedClass* current_ = nullptr;  // the class or struct being read
};

// The lock that `text` holds; throws LockFileError naming the line that
// cannot be read.  Lines may end in CR LF.
inline Lock parseLock(std::string_view text) {
  Lock lock;
  LockReader reader(lock);
  for (std::size_t number = 1; !text.empty(); ++number) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    try {
      reader.line(line);
    } catch (const LockFileError& error) {
      throw LockFileError("line " + std::to_string(number) + ": " +
                          error.what());
    }
  }
  if (lock.target.empty()) throw LockFileError("no target line");
  return lock;
}

}  // namespace tamberlo::detail

#endif  // TAMBERLO_LOCK_FILE_H_
