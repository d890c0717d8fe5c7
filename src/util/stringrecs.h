// Plain record classes pairing strings with strings or with an integer, attached to list items
// as their objects.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "util/object.h"

namespace lm {

class TStringRec : public TObject {
public:
    explicit TStringRec(std::string s) : Str(std::move(s)) {}
    std::string Str;
};

class TString2Rec : public TObject {
public:
    TString2Rec(std::string s, std::string s2) : Str(std::move(s)), Str2(std::move(s2)) {}
    std::string Str;
    std::string Str2;
};

class TString3Rec : public TObject {
public:
    TString3Rec(std::string s, std::string s2, std::string s3)
        : Str(std::move(s)), Str2(std::move(s2)), Str3(std::move(s3)) {}
    std::string Str;
    std::string Str2;
    std::string Str3;
};

class TStringData : public TObject {
public:
    TStringData(std::string s, int32_t data) : Str(std::move(s)), Data(data) {}
    std::string Str;
    int32_t Data;
};

} // namespace lm
