// Values of blob fields (memo, binary, formatted memo, OLE, graphic): the
// record holds a leader with the first bytes and a 10-byte reference into the
// .MB file, whose 4 KiB blocks hold one large blob or up to 64 small ones.
#pragma once

#include <memory>
#include <string>

#include "db/paradox/bytes.h"
#include "db/paradox/file.h"

namespace db::paradox {

class BlobFile {
 public:
  // path: CP1251, empty when the table has no .MB; opened at the first read.
  explicit BlobFile(std::string path, std::string tableName);

  // The blob's bytes. field: the field's bytes in the record, not blank.
  std::string Read(ByteSpan field);

 private:
  std::string readStored(std::uint32_t offset, std::uint32_t length);
  DataFile& file();

  std::string m_path;
  std::string m_tableName;
  std::unique_ptr<DataFile> m_file;
};

}  // namespace db::paradox
