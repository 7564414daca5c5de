// Field values inside records: the big-endian, sign-flipped encodings of the
// format, blank as all zero bytes. Blob fields are read by blobfile.h.
#pragma once

#include <cstdint>
#include <string>

#include "db/paradox/bytes.h"
#include "db/paradox/codepage.h"
#include "db/paradox/table.h"

namespace db::paradox {

// REQUIRES: bytes.size() is the field's width in the record; not a blob type.
Value DecodeValue(FieldType type, ByteSpan bytes, const CodePage& codePage);

// Writes value into out (the field's bytes in a record). Throws Error naming
// where (CP1251, e.g. "PlayList.db, поле «FPath»") when the value does not fit
// the field. Blob types accept only a blank value.
void EncodeValue(const Field& field, const Value& value, MutableByteSpan out,
                 const CodePage& codePage, const std::string& where);

bool IsBlank(ByteSpan bytes);

// The stored numbers themselves, for reading whole columns without a Value:
// Short/Long/AutoInc as the integer, Date as its day ordinal (1.1.0001 = 1),
// Time as milliseconds; Number/Currency/Bcd as the number, Timestamp as days
// since 30.12.1899. REQUIRES: not blank (a Bcd: its not-blank flag set).
std::int64_t DecodeStoredInteger(ByteSpan bytes);
double DecodeStoredReal(FieldType type, ByteSpan bytes);
bool IsBlankBcd(ByteSpan bytes);

}  // namespace db::paradox
