// A reader for Windows initialization files with the platform profile
// function's observable rules, for systems that lack it:
//  - section and key names match without regard to ASCII letter case;
//  - blanks (isspace) around names and values are dropped;
//  - one pair of matching enclosing quotes (" or ') is removed from a value;
//  - lines end at CR or LF; a NUL ends the line's text;
//  - a file with a byte-order mark is UTF-8 or UTF-16 (either byte order)
//    text and is read as code page 1252, where a character the code page
//    cannot hold becomes "?" or the look-alike the platform substitutes; any
//    other file is read byte for byte;
//  - a section header is "[" name "]" (the last "]" on the line closes it);
//    a "[" line without "]" is ignored; keys before any header belong to
//    the unnamed section;
//  - only the first section of a name and the first key of a name count; a
//    key line without "=" has no value and gives the fallback;
//  - the result is cut to size - 1 characters and always terminated.
// Memory use is bounded by size, whatever the file holds.
#pragma once

#include <cstdint>

// With key null: the key names of the section (as for a value, the fallback
// when there are none); with section null: the section names. Each name is
// followed by a NUL and the list by one more, cut as the platform cuts it.
// Returns the number of characters written before the (last) terminator.
std::uint32_t read_profile_string(const char* section, const char* key, const char* fallback,
                                  char* buffer, std::uint32_t size, const char* file);
