#include "tessly/description.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

#include "base/ascii.h"
#include "tessly/palette.h"
#include "tessly/walk.h"
#include "pack/json_text.h"

namespace tessly {
namespace {


// The other way: UTF-8 whose code points are all below U+0100 as the bytes
// of those numbers; nullopt for text with any other.
std::optional<std::string> BytesOf(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      bytes += text[i];
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size()) {
      bytes += static_cast<char>((byte & 0x03) << 6 | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

// --- Describing an archive's entry.

ImageDescription Described(const GafFrameHeader& header, std::string image, PixelDataUsers& users) {
  ImageDescription described{header, std::move(image), {}};
  described.header.dataOffset = 0;
  const auto [first, isNew] = users.try_emplace(header.dataOffset, described.image);
  if (!isNew) described.sharedWith = first->second;
  return described;
}

std::optional<FrameDescription> DescribeFrame(const Archive& archive, const Entry& entry, int k,
                                              std::string_view fileStem, std::string_view extension,
                                              FrameLayout& layout, PixelDataUsers& users) {
  if (ReadFrameLayout(archive, entry, k, layout) != Status::Ok) return std::nullopt;
  FrameDescription frame;
  frame.tableAux = layout.frame.tableElement.aux;
  frame.hasSubframes = HasSubframes(layout.frame.header);
  for (const ImageSlot& slot : layout.images) {
    const std::string image = ImageFileName(fileStem, slot.frame, slot.subframe, extension);
    if (!frame.hasSubframes) {
      frame.own = Described(slot.header, image, users);
    } else if (slot.status == Status::Ok) {
      frame.subframes.push_back(Described(slot.header, image, users));
    } else {
      frame.subframes.emplace_back();
    }
  }
  if (frame.hasSubframes) frame.own = {layout.frame.header, {}, {}};
  frame.own.header.dataOffset = 0;
  return frame;
}

// --- Writing.

Json HeaderFields(const GafFrameHeader& header) {
  return {{"width", header.width},
          {"height", header.height},
          {"originX", static_cast<std::int16_t>(header.aux1)},
          {"originY", static_cast<std::int16_t>(header.aux2)},
          {"transparencyIndex", header.aux3},
          {"compressed", header.compressed},
          {"subframeCount", header.subframeCount},
          {"aux4", header.aux4},
          {"aux5", header.aux5}};
}

void AddImage(Json& described, const ImageDescription& image) {
  described["image"] = CodePointsOf(image.image);
  if (!image.sharedWith.empty()) described["sharedWith"] = CodePointsOf(image.sharedWith);
}

Json FrameJson(const std::optional<FrameDescription>& frame) {
  if (!frame) return nullptr;
  Json described = {{"tableAux", frame->tableAux}};
  described.update(HeaderFields(frame->own.header));
  if (!frame->hasSubframes) {
    AddImage(described, frame->own);
    return described;
  }
  Json& subframes = described["subframes"] = Json::array();
  for (const std::optional<ImageDescription>& subframe : frame->subframes) {
    if (!subframe) {
      subframes.push_back(nullptr);
      continue;
    }
    Json fields = HeaderFields(subframe->header);
    AddImage(fields, *subframe);
    subframes.push_back(std::move(fields));
  }
  return described;
}

// --- Reading: each step names the key it stands at, for the problem.

// The most frames an entry and subframes a frame can hold: their counts are 16-bit and signed.
constexpr std::size_t kMostPieces = INT16_MAX;

class Reader {
 public:
  explicit Reader(Problem& problem) : problem_(problem) {}

  // The value of `key` in `object`, into an integer field of type T; `fallback` when missing.
  template <typename T>
  bool Number(const Json& object, const std::string& path, const char* key, T fallback, T& field) {
    const auto found = object.find(key);
    if (found == object.end()) {
      field = fallback;
      return true;
    }
    const std::string at = path + key;
    if (!found->is_number_integer()) return Fail(at, &*found, "is not a whole number");
    const bool fits = found->is_number_unsigned()
                          ? found->get<std::uint64_t>() <= std::uint64_t{std::numeric_limits<T>::max()}
                          : found->get<std::int64_t>() >= std::int64_t{std::numeric_limits<T>::min()} &&
                                found->get<std::int64_t>() <= std::int64_t{std::numeric_limits<T>::max()};
    if (!fits) {
      return Fail(at, &*found,
                  "is not a number from " + std::to_string(std::int64_t{std::numeric_limits<T>::min()}) + " to " +
                      std::to_string(std::uint64_t{std::numeric_limits<T>::max()}));
    }
    field = found->get<T>();
    return true;
  }

  // A file name: its bytes, or the UTF-8 as it is when it has code points past U+00FF.
  bool FileName(const Json& object, const std::string& path, const char* key, bool required, std::string& name) {
    const auto found = object.find(key);
    if (found == object.end()) return !required || Fail(path + key, nullptr, "is missing");
    return FileName(*found, path + key, name);
  }

  bool FileName(const Json& value, const std::string& at, std::string& name) {
    if (!value.is_string() || value.get<std::string>().empty()) return Fail(at, &value, "is not a file name");
    const std::string text = value.get<std::string>();
    name = BytesOf(text).value_or(text);
    return true;
  }

  bool Header(const Json& object, const std::string& path, GafFrameHeader& header) {
    std::int16_t originX = 0, originY = 0;
    return Number(object, path, "width", std::int16_t{0}, header.width) &&
           Number(object, path, "height", std::int16_t{0}, header.height) &&
           Number(object, path, "originX", std::int16_t{0}, originX) &&
           Number(object, path, "originY", std::int16_t{0}, originY) &&
           Number(object, path, "transparencyIndex", std::uint8_t{kSkippedPixel}, header.aux3) &&
           Number(object, path, "compressed", std::uint8_t{1}, header.compressed) &&
           Number(object, path, "aux4", std::uint32_t{0}, header.aux4) &&
           Number(object, path, "aux5", std::uint32_t{0}, header.aux5) &&
           (header.aux1 = static_cast<std::uint16_t>(originX), header.aux2 = static_cast<std::uint16_t>(originY), true);
  }

  bool Image(const Json& object, const std::string& path, ImageDescription& image) {
    return Header(object, path, image.header) && FileName(object, path, "image", true, image.image) &&
           FileName(object, path, "sharedWith", false, image.sharedWith);
  }

  bool Subframes(const Json& list, const std::string& path, FrameDescription& frame) {
    if (!list.is_array() || list.empty()) return Fail(path + "subframes", &list, "is not a list of subframes");
    if (list.size() > kMostPieces)
      return Fail(path + "subframes", nullptr, TooMany(list.size(), "subframes", "a frame"));
    for (std::size_t j = 0; j < list.size(); ++j) {
      const std::string at = path + "subframes[" + std::to_string(j) + "]";
      if (!list[j].is_object()) return Fail(at, &list[j], "is not a subframe that can be rebuilt");
      ImageDescription& subframe = frame.subframes.emplace_back().emplace();
      if (!Image(list[j], at + ".", subframe) ||
          !Number(list[j], at + ".", "subframeCount", std::int16_t{0}, subframe.header.subframeCount)) {
        return false;
      }
    }
    return true;
  }

  bool Frame(const Json& object, const std::string& path, FrameDescription& frame) {
    const auto subframes = object.find("subframes");
    frame.hasSubframes = subframes != object.end();
    if (!Number(object, path, "tableAux", std::uint32_t{0}, frame.tableAux) ||
        !Header(object, path, frame.own.header)) {
      return false;
    }
    if (!frame.hasSubframes) {
      return Image(object, path, frame.own) &&
             Number(object, path, "subframeCount", std::int16_t{0}, frame.own.header.subframeCount) &&
             (frame.own.header.subframeCount <= 0 ||
              Fail(path + "subframeCount", At(object, "subframeCount"), "is above 0 for a frame that is an image"));
    }
    if (!Subframes(*subframes, path, frame)) return false;
    const auto count = static_cast<std::int16_t>(frame.subframes.size());
    return Number(object, path, "subframeCount", count, frame.own.header.subframeCount) &&
           (frame.own.header.subframeCount == count ||
            Fail(path + "subframeCount", At(object, "subframeCount"), "is not the number of subframes"));
  }

  bool Entry(const Json& json, EntryDescription& entry) {
    if (!json.is_object()) return Fail("the text", nullptr, "is not a JSON object");
    const auto name = json.find("name");
    if (name == json.end()) return Fail("name", nullptr, "is missing");
    const std::optional<std::string> bytes = name->is_string() ? BytesOf(name->get<std::string>()) : std::nullopt;
    if (!bytes || bytes->empty() || bytes->size() > 31) return Fail("name", &*name, "is not 1 to 31 bytes");
    entry.name = *bytes;
    const auto frames = json.find("frames");
    if (frames == json.end() || !frames->is_array()) {
      return Fail("frames", At(json, "frames"), "is not a list of frames");
    }
    if (frames->size() > kMostPieces) return Fail("frames", nullptr, TooMany(frames->size(), "frames", "an entry"));
    const auto count = static_cast<std::int16_t>(frames->size());
    if (!Number(json, "", "frameCount", count, entry.frameCount) ||
        !Number(json, "", "aux1", kUsualEntryAux1, entry.aux1) ||
        !Number(json, "", "aux2", std::uint32_t{0}, entry.aux2)) {
      return false;
    }
    if (frames->size() != static_cast<std::size_t>(std::max<std::int16_t>(entry.frameCount, 0)) ||
        entry.frameCount < 0) {
      return Fail("frameCount", At(json, "frameCount"),
                  "is not the number of frames (the list holds " + std::to_string(frames->size()) + ")");
    }
    for (std::size_t k = 0; k < frames->size(); ++k) {
      const std::string at = "frames[" + std::to_string(k) + "]";
      if (!(*frames)[k].is_object()) return Fail(at, &(*frames)[k], "is not a frame that can be rebuilt");
      if (!Frame((*frames)[k], at + ".", entry.frames.emplace_back().emplace())) return false;
    }
    return true;
  }

  // "holds 32768 frames, more than an entry can hold (32767)".
  static std::string TooMany(std::size_t count, const char* pieces, const char* holder) {
    return "holds " + std::to_string(count) + " " + pieces + ", more than " + holder + " can hold (" +
           std::to_string(kMostPieces) + ")";
  }

  // "frames[0].width 70000 is not a number from -32768 to 32767": the key,
  // its value when it has one, and why it cannot be used.
  bool Fail(const std::string& key, const Json* value, const std::string& why) {
    problem_.status = Status::DescriptionInvalid;
    problem_.detail = key + " " + (value != nullptr ? value->dump(-1, ' ', false) + " " : "") + why;
    return false;
  }

  // The value of `key`, or null when the object has none.
  static const Json* At(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
  }

 private:
  Problem& problem_;
};

// The parsed text, or discarded with `where` saying where the text stops
// being JSON: "at line 3, column 7", counted from 1 in bytes.
Json Parsed(std::span<const std::uint8_t> text, std::string* where = nullptr) {
  try {
    return Json::parse(text.begin(), text.end());
  } catch (const Json::parse_error& error) {
    // `byte` counts from 1, and lies one past the end at an early end.
    const std::size_t at = std::min<std::size_t>(error.byte == 0 ? 0 : error.byte - 1, text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < at; ++i) {
      if (text[i] == '\n') line += 1, lineStart = i + 1;
    }
    if (where != nullptr) *where = " at line " + std::to_string(line) + ", column " + std::to_string(at - lineStart + 1);
  } catch (const Json::exception&) {
    // any other error of the parser's has no place to give
  }
  return Json(Json::value_t::discarded);
}

}  // namespace

// Bytes as the code points of the same numbers, in UTF-8, which JSON then
// writes as \u0080 to \u00ff: the name turns back into exactly its bytes.
std::string CodePointsOf(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | byte >> 6);
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

// JSON needs no escape for DEL, but it is a control byte like those below 0x20.
std::string WithDelEscaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) c == '\x7F' ? escaped += "\\u007f" : escaped += c;
  return escaped;
}

Status WriteJson(const Json& json, ByteSink& sink) {
  std::string text;
  try {
    text = WithDelEscaped(json.dump(2, ' ', true)) + "\n";
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  sink.Expect(text.size());
  return sink.Write(text.data(), text.size()) ? Status::Ok : Status::WriteFailed;
}


std::string ImageFileName(std::string_view entryName, int frame, int subframe, std::string_view extension) {
  char numbers[32];
  if (subframe < 0) {
    std::snprintf(numbers, sizeof numbers, "%02d", frame);
  } else {
    std::snprintf(numbers, sizeof numbers, "%02d_%02d", frame, subframe);
  }
  return std::string(entryName) + numbers + std::string(extension);
}

std::string EntryFileStem(std::string_view name, std::int32_t index, UsedFileStems& used) {
  std::string stem(name);
  // A name that is itself like "NAME(3)" may still stand in the way.
  while (!used.insert(base::Capitals(stem)).second) stem += "(" + std::to_string(index) + ")";
  return stem;
}

Status DescribeEntry(const Archive& archive, const Entry& entry, std::string_view fileStem,
                     std::string_view imageExtension, PixelDataUsers& users, EntryDescription& description) {
  try {
    description = {entry.name, entry.header.frameCount, entry.header.aux1, entry.header.aux2, {}};
    FrameLayout layout;
    for (int k = 0; k < entry.header.frameCount; ++k) {
      description.frames.push_back(DescribeFrame(archive, entry, k, fileStem, imageExtension, layout, users));
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

Status WriteEntryDescription(const EntryDescription& description, ByteSink& sink) {
  Json described;
  try {
    described = {{"name", CodePointsOf(description.name)},
                 {"frameCount", description.frameCount},
                 {"aux1", description.aux1},
                 {"aux2", description.aux2},
                 {"frames", Json::array()}};
    for (const std::optional<FrameDescription>& frame : description.frames) {
      described["frames"].push_back(FrameJson(frame));
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return WriteJson(described, sink);
}

Status ReadEntryDescription(std::span<const std::uint8_t> json, EntryDescription& description, Problem& problem) {
  try {
    std::string where;
    const Json parsed = Parsed(json, &where);
    Reader reader(problem);
    description = {};
    if (parsed.is_discarded()) return reader.Fail("the text", nullptr, "is not JSON" + where), Status::DescriptionInvalid;
    return reader.Entry(parsed, description) ? Status::Ok : Status::DescriptionInvalid;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

bool IsArchiveDescription(std::span<const std::uint8_t> json) {
  try {
    const Json parsed = Parsed(json);
    return parsed.is_object() && parsed.contains("entries") && !parsed.contains("name");
  } catch (const std::bad_alloc&) {
    return false;
  }
}

Status WriteArchiveDescription(const ArchiveDescription& description, ByteSink& sink) {
  Json described;
  try {
    described = {{"version", description.version}, {"entries", Json::array()}};
    for (const std::string& entry : description.entries) described["entries"].push_back(CodePointsOf(entry));
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return WriteJson(described, sink);
}

Status ReadArchiveDescription(std::span<const std::uint8_t> json, ArchiveDescription& description,
                              Problem& problem) {
  try {
    std::string where;
    const Json parsed = Parsed(json, &where);
    Reader reader(problem);
    description = {};
    if (!parsed.is_object()) {
      reader.Fail("the text", nullptr, parsed.is_discarded() ? "is not JSON" + where : "is not a JSON object");
      return Status::DescriptionInvalid;
    }
    if (!reader.Number(parsed, "", "version", kGafVersion, description.version)) return Status::DescriptionInvalid;
    if (description.version != kGafVersion) {
      reader.Fail("version", Reader::At(parsed, "version"),
                  "is not 65792 (0x00010100), the only version GAF readers take");
      return Status::DescriptionInvalid;
    }
    const auto entries = parsed.find("entries");
    if (entries == parsed.end() || !entries->is_array()) {
      reader.Fail("entries", Reader::At(parsed, "entries"), "is not a list of file names");
      return Status::DescriptionInvalid;
    }
    for (std::size_t i = 0; i < entries->size(); ++i) {
      std::string& name = description.entries.emplace_back();
      if (!reader.FileName((*entries)[i], "entries[" + std::to_string(i) + "]", name))
        return Status::DescriptionInvalid;
    }
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  return Status::Ok;
}

}  // namespace tessly
