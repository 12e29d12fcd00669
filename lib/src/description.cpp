#include "tessly/description.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "tessly/walk.h"

namespace tessly {
namespace {

using Json = nlohmann::ordered_json;

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

std::string ImageName(const Entry& entry, const ImageSlot& slot, std::string_view extension) {
  return CodePointsOf(ImageFileName(entry.name, slot.frame, slot.subframe, extension));
}

// A subframe's header fields and image, or null when it did not read.
Json DescribeSubframe(const Entry& entry, const ImageSlot& slot, std::string_view extension) {
  if (slot.status != Status::Ok) return nullptr;
  Json described = HeaderFields(slot.header);
  described["image"] = ImageName(entry, slot, extension);
  return described;
}

Json DescribeFrame(const Archive& archive, const Entry& entry, int k, std::string_view extension,
                   FrameLayout& layout) {
  if (ReadFrameLayout(archive, entry, k, layout) != Status::Ok) return nullptr;
  Json described = {{"tableAux", layout.frame.tableElement.aux}};
  described.update(HeaderFields(layout.frame.header));
  if (!HasSubframes(layout.frame.header)) {
    described["image"] = ImageName(entry, layout.images.front(), extension);
    return described;
  }
  Json& subframes = described["subframes"] = Json::array();
  for (const ImageSlot& slot : layout.images) subframes.push_back(DescribeSubframe(entry, slot, extension));
  return described;
}

// JSON needs no escape for DEL, but it is a control byte like those below 0x20.
std::string WithDelEscaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) c == '\x7F' ? escaped += "\\u007f" : escaped += c;
  return escaped;
}

}  // namespace

std::string ImageFileName(std::string_view entryName, int frame, int subframe, std::string_view extension) {
  char numbers[32];
  if (subframe < 0) {
    std::snprintf(numbers, sizeof numbers, "%02d", frame);
  } else {
    std::snprintf(numbers, sizeof numbers, "%02d_%02d", frame, subframe);
  }
  return std::string(entryName) + numbers + std::string(extension);
}

Status WriteEntryDescription(const Archive& archive, const Entry& entry, std::string_view imageExtension,
                             ByteSink& sink) {
  std::string text;
  try {
    Json described = {{"name", CodePointsOf(entry.name)},
                      {"frameCount", entry.header.frameCount},
                      {"aux1", entry.header.aux1},
                      {"aux2", entry.header.aux2},
                      {"frames", Json::array()}};
    FrameLayout layout;
    for (int k = 0; k < entry.header.frameCount; ++k) {
      described["frames"].push_back(DescribeFrame(archive, entry, k, imageExtension, layout));
    }
    text = WithDelEscaped(described.dump(2, ' ', true)) + "\n";
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
  sink.Expect(text.size());
  return sink.Write(text.data(), text.size()) ? Status::Ok : Status::WriteFailed;
}

}  // namespace tessly
