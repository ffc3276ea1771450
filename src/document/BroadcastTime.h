#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonaveld {

// The time code of Broadcast Wave files: the sample count since midnight at which the file's first
// sample plays, in the "bext" chunk and in the "iXML" chunk that field recorders write beside it.

// Where a "bext" body holds its 64-bit little-endian TimeReference (after the description,
// originator, its reference, the date and the time).
constexpr size_t kBextTimeReferenceOffset = 338;

// The TimeReference of a "bext" body; nullopt when the body is too short to hold it.
std::optional<uint64_t> BextTimeReference(const uint8_t* body, size_t size);
// Sets it; a body too short to hold it is left as it is.
void SetBextTimeReference(uint8_t* body, size_t size, uint64_t reference);

// The time reference an iXML text gives: BWF_TIME_REFERENCE_HIGH / _LOW under BEXT, else
// TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI / _LO under SPEED (decimal texts, high and low 32 bits; a
// missing half or one that is not a number counts as 0); nullopt without any of them.
std::optional<uint64_t> IxmlTimeReference(std::string_view xml);
// xml with the values of those four elements, where present, set to reference's high and low 32
// bits in decimal; every other byte as it was, so xml without them comes back unchanged.
std::string SetIxmlTimeReference(std::string_view xml, uint64_t reference);

}  // namespace sonaveld
