// Fuzzes reading a CSV text file record by record, as the import reads it: the input is
// written to a file and read to its end. Reading must end, and must never hand out more
// records than the file has lines or a field longer than the longest line kept.
#include "FuzzSupport.h"

#include <algorithm>
#include <fstream>

#include "files/CsvFile.h"
#include "files/DocumentLineRule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "/input.csv";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::size_t lineEnds = static_cast<std::size_t>(std::count(data, data + size, '\n'));
  CCsvFile file;
  FUZZ_CHECK(file.Open(path));
  std::vector<std::string> record;
  std::size_t records = 0;
  while (file.ReadRecord(record)) {
    ++records;
    FUZZ_CHECK(records <= lineEnds + 1);
    FUZZ_CHECK(!record.empty());
    for (const std::string& field : record) FUZZ_CHECK(field.size() <= kMaxLineBytes);
  }
  FUZZ_CHECK(!file.ReadRecord(record));
  file.Close();
  return 0;
}
