#pragma once
// Argument files of the java command ("@file" among the options): the file's
// text split into arguments as the java command reads it, and the text that
// it reads back as given arguments. Free of system calls.

#include <string>
#include <vector>

namespace korvan {

// Blanks (space, tab, line feed, carriage return, form feed) separate
// arguments. A "#" where an argument would start makes the rest of the line a
// comment. Double or single quotes keep blanks inside an argument and may
// join stretches ("c:\Program" "Files" is not one, c:\"Program Files" is);
// inside quotes, \n \r \t \f stand for those characters, a backslash before
// any other character keeps that character, and a backslash at the end of a
// line continues the argument after the next line's leading blanks. A quote
// still open at the end of a line ends there. Outside quotes a backslash is
// an ordinary character (c:\dir).
std::vector<std::wstring> ParseArgumentFile(const std::wstring& text);

// One quoted argument a line, each read back exactly as it is: backslash,
// double quote and the line ends that would end the argument are escaped, and
// tab and form feed too, to keep the file readable. Arguments of a command
// hold no NUL.
std::string JavaArgumentFileText(const std::vector<std::string>& arguments);

}  // namespace korvan
