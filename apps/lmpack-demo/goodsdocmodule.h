// The goods document module: the document manager opens, creates and deletes goods through it,
// and the goods screen hears of changed goods as a document listener.
#pragma once

#include <functional>

#include "app/docmanager.h"

namespace lm {

class TfrmGoods;

// The document type of a good.
inline constexpr int kDocGoods = 1;

class TGoodsDocModule : public TDocModule {
public:
    // Serves goods documents through `screen` (which outlives the module).
    explicit TGoodsDocModule(TfrmGoods& screen);
    void ShowDocList() override;
    // Params: ignored; returns the new good's ID (0 when cancelled).
    int NewDoc(Variant& Params) override;
    // Returns 1 when the good was saved, 0 otherwise.
    int EditDoc(Currency DocID, int Mode) override;
    void DeleteDoc(Currency DocID) override;
    // The goods screen hears of changes as a listener; the module itself has nothing to update.
    void UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet) override {}

private:
    TfrmGoods& m_screen;
};

// A screen's ear for document changes: calls `OnChange` for every notice.
class TGoodsListener : public TComponent, public IDocListsener {
public:
    std::function<void(int DocType, Currency DocID, TUpdateKind UpdateKind)> OnChange;
    void UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet) override;
};

} // namespace lm
