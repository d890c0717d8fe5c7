// The host form of the print commands: a query's dataset shown in a grid, with the version-2 and
// version-3 reports, their master datasets, a user sort and both print menus, named as a host
// form names them, so that reports made by one command print in the other.
#pragma once

#include <string>

#include "dbquery.h"
#include "util/component.h"

namespace lm {
class TDataSource;
class TDBGridEh;
class TfrDBDataSet;
class TfrPrintMenu;
class TfrReport;
class TfrxDBDataset;
class TfrxPrintMenu;
class TfrxReport;
class TUserSort;
} // namespace lm

namespace lmcli {

class PrintHost {
    // First, so that they outlive the form's datasets.
    lm::TFIBDatabase m_db;
    lm::TFIBTransaction m_tr;

public:
    // Opens the query (labels applied) with the report folder `forms`.
    PrintHost(const DbQueryArgs& args, const std::string& forms);
    ~PrintHost();

    lm::TComponent form;
    lm::TpFIBDataSet* data;
    lm::TDataSource* source;
    lm::TDBGridEh* grid;
    lm::TUserSort* sort;
    lm::TfrReport* report2;
    lm::TfrDBDataSet* frData;
    lm::TfrxReport* report;
    lm::TfrxDBDataset* frxData;
    lm::TfrPrintMenu* menu2;
    lm::TfrxPrintMenu* menu;
};

} // namespace lmcli
