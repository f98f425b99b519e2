// The text helpers of the literal transcriptions: 1-based searches that
// start again on the text as the documented procedures do, with the line and
// brace rules of the fast reader.
#pragma once

#include <cstddef>
#include <string>

namespace vandrel::literal {

inline const char* const kKeys[] = {"actor ", "prop ", "light ", "camera "};

std::string Rest(const std::string& text, std::size_t p);
double Number(const std::string& text);
std::string Span(const std::string& text, std::size_t from, std::size_t to);
bool LineStartAt(const std::string& text, std::size_t q, bool startsLine);
std::size_t KeyAt(const std::string& text, const std::string& key, std::size_t from, bool startsLine = true);
bool BraceAt(const std::string& text, std::size_t q);
std::size_t FindBrace(const std::string& text, const std::string& brace, std::size_t from);
std::size_t FindBraceRev(const std::string& text, const std::string& brace, std::size_t limit);
bool KeyOfLineAt(const std::string& text, std::size_t q, const std::string& key);
std::size_t FindKey(const std::string& text, const std::string& key, std::size_t from);
bool WholeLineAt(const std::string& text, std::size_t q, const std::string& key);
std::size_t FindLine(const std::string& text, const std::string& key, std::size_t from);
std::size_t FindLineRev(const std::string& text, const std::string& key, std::size_t limit);
std::string RightTrimmed(std::string v);
std::string Key(const std::string& r);
std::string KeyRest(const std::string& part, const std::string& key, bool& found);
std::size_t FindChannelLine(const std::string& text, const std::string& what, std::size_t from);
bool IsSpace(const std::string& c);
bool EmptyInnerBlockAt(const std::string& text, std::size_t open, std::size_t limit, std::size_t q,
                       std::size_t& close);
bool IsWholeLine(const std::string& part, const std::string& key);
std::string NextBlockOf(const std::string& text, bool checkEmpty, bool startsLine);
std::string NextBlockFrom(const std::string& text, std::size_t p, bool checkEmpty);

}  // namespace vandrel::literal
