// The texts that the run-time exports answer. They are constant, owned by
// the library, and compared byte for byte by hosts, so each is spelled here
// once. The by-name readers come in two families that hosts tell apart by
// their spelling: the value family ends with a full stop, the location
// family does not.
#pragma once

namespace uvt::messages {

inline constexpr const char* kInvalidTable = "Invalid table";
inline constexpr const char* kArraysNotInitialized = "Arrays not initialized";
inline constexpr const char* kInvalidArgument = "Invalid argument";
inline constexpr const char* kInvalidHandle = "Invalid handle";
inline constexpr const char* kIoNotSupported = "IO argument not supported";
inline constexpr const char* kInvalidRowNumber = "Invalid row number";
inline constexpr const char* kRowOutOfBound = "Row number is out of bound";

// Writers.
inline constexpr const char* kInvalidRowOrValue = "Invalid row number or value.";
inline constexpr const char* kMissingInformation = "Missing information";
inline constexpr const char* kNameNotFound = "Name not found";
inline constexpr const char* kCannotSetStructure = "Cannot set value to structures";
// A Character value whose copy finds no memory is not stored.
inline constexpr const char* kNotEnoughMemory = "Not enough memory";

// By-name readers, value family.
inline constexpr const char* kInvalidTableOrName = "Invalid table or name";
inline constexpr const char* kValueNotFound = "Variable Not Found.";
inline constexpr const char* kValueIsStructure = "Variable is a structure.";
// By-name readers, location family.
inline constexpr const char* kLocationNotFound = "Variable not found";
inline constexpr const char* kLocationIsStructure = "Variable is a structure";

}  // namespace uvt::messages
