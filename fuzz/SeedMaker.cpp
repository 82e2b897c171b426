// Writes seed inputs for the targets whose input is not a plain test file: the replies of
// a handset sending a given image (download_reply_fuzz).
//   qvbook-fuzz-seeds IMAGE.bin FOLDER
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "comm/Frame.h"
#include "files/DocumentFile.h"

namespace {

using Chunk = std::vector<uint8_t>;

// The length-prefixed chunks the download target takes.
void WriteChunks(const std::string& path, const std::vector<Chunk>& chunks) {
  std::ofstream out(path, std::ios::binary);
  for (const Chunk& chunk : chunks) {
    const char length[2] = {static_cast<char>(chunk.size() >> 8), static_cast<char>(chunk.size())};
    out.write(length, 2);
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  }
}

// The replies of a handset sending `image` in blocks of `block` bytes, the first reply
// opening with the "OK" frame when asked.
std::vector<Chunk> Replies(const PhonebookImage& image, std::size_t block, bool okFirst) {
  std::vector<Chunk> chunks;
  for (std::size_t offset = 0; offset < image.size(); offset += block) {
    const std::size_t length = std::min(block, image.size() - offset);
    const bool more = offset + length < image.size();
    Chunk chunk;
    if (okFirst && offset == 0) chunk.assign(kOkFrame.begin(), kOkFrame.end());
    const Chunk frame = EncodeFrame(more ? 1 : 0, std::span(image.data() + offset, length));
    chunk.insert(chunk.end(), frame.begin(), frame.end());
    chunks.push_back(chunk);
  }
  return chunks;
}

Chunk Text(const std::string& text) { return Chunk(text.begin(), text.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IMAGE.bin FOLDER\n", argv[0]);
    return 64;
  }
  PhonebookImage image{};
  if (ReadImageFile(argv[1], image).status != ImageFileResult::Ok) return 66;
  const std::string folder = argv[2];
  WriteChunks(folder + "/download-1024", Replies(image, 1024, true));
  WriteChunks(folder + "/download-4096", Replies(image, 4096, false));
  std::vector<Chunk> cut = Replies(image, 1024, true);
  cut.resize(5);
  WriteChunks(folder + "/download-cut", cut);
  WriteChunks(folder + "/refused", {Text("REJ\r\n")});
  WriteChunks(folder + "/refused-framed", {EncodeFrame(0, std::string_view("ERROR\r\n"))});
  return 0;
}
