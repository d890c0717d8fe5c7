// The in-memory ID/NAME dataset the search benchmarks filter, and their anchor: a hand-written
// loop that upper-cases each name with the Windows-1251 table and looks for fragments in it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/memdataset.h"
#include "util/cp1251.h"

namespace lmbench {

// An open dataset of (ID, NAME) records, IDs counting from 1 in the order of `names`.
inline std::unique_ptr<lm::TMemDataSet> NamesDataSet(const std::vector<std::string>& names)
{
    auto ds = std::make_unique<lm::TMemDataSet>();
    ds->FieldDefs().Add("ID", lm::ftInteger);
    ds->FieldDefs().Add("NAME", lm::ftString, 80);
    ds->Open();
    ds->DisableControls();
    int id = 0;
    for (const std::string& name : names)
        ds->AppendRecord({++id, name});
    ds->EnableControls();
    return ds;
}

// How many of `names`, upper-cased, hold every one of `fragments` (given in upper case).
inline int CountUpperContaining(const std::vector<std::string>& names, const std::vector<std::string>& fragments)
{
    const unsigned char* upper = lm::upperTable();
    std::string buf;
    int found = 0;
    for (const std::string& name : names) {
        buf.resize(name.size());
        for (std::size_t i = 0; i < name.size(); ++i)
            buf[i] = static_cast<char>(upper[static_cast<unsigned char>(name[i])]);
        bool all = true;
        for (const std::string& fragment : fragments)
            all = all && buf.find(fragment) != std::string::npos;
        found += all;
    }
    return found;
}

} // namespace lmbench
