// The goods document module and the screen's document listener.
#include "goodsdocmodule.h"

#include "mainwindow.h"

namespace lm {

TGoodsDocModule::TGoodsDocModule(TfrmGoods& screen)
    : m_screen(screen)
{
    SetName("GoodsDocModule");
    SetDocType(kDocGoods);
}

void TGoodsDocModule::ShowDocList()
{
    m_screen.show();
    m_screen.raise();
    m_screen.activateWindow();
}

int TGoodsDocModule::NewDoc(Variant& Params)
{
    const int id = m_screen.NewGoods();
    if (id != 0)
        DocManager()->UpdateDocList(kDocGoods, Currency::FromDouble(id), ukInsert, nullptr);
    return id;
}

int TGoodsDocModule::EditDoc(Currency DocID, int Mode)
{
    const int id = static_cast<int>(DocID.ToDouble());
    if (!m_screen.EditGoods(id))
        return 0;
    DocManager()->UpdateDocList(kDocGoods, DocID, ukModify, nullptr);
    return 1;
}

void TGoodsDocModule::DeleteDoc(Currency DocID)
{
    if (m_screen.DeleteGoods(static_cast<int>(DocID.ToDouble())))
        DocManager()->UpdateDocList(kDocGoods, DocID, ukDelete, nullptr);
}

void TGoodsListener::UpdateDocList(int DocType, Currency DocID, TUpdateKind UpdateKind, TDataSet* DataSet)
{
    if (OnChange)
        OnChange(DocType, DocID, UpdateKind);
}

} // namespace lm
