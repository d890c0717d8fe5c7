// The print wizard's settings file (.wzd.xml): written line by line in Windows-1251 with CR LF,
// read back through the XML document model.
//
// The file, with its exact leading blanks:
//   <?xml version="1.0" encoding="windows-1251" standalone="yes"?>
//   <TfrmPrintWizardRoot Name="frmPrintWizardRoot">
//   <LeftPos Left="16"/>
//     <TCheckBox Name="cbRS">            one block per check box: Value with Checked and Caption
//     <TListBox Name="lbPrint">          one block per list: a TObjField element per entry,
//       <TObjField ... PrintLabel="..."> each with its TFont element
//     </TListBox >
//   </TfrmPrintWizardRoot>
#include <memory>

#include "report/printwizard.h"
#include "util/cp1251.h"
#include "util/sysutils.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"
#include "xml/xmlnodelist.h"

namespace lm {

namespace {

const char* const kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const TFontStyle kStyles[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};

// The lines of the file; empty texts are skipped.
class Writer {
public:
    void line(int blanks, const std::string& text)
    {
        if (text.empty())
            return;
        m_out.append(static_cast<std::size_t>(blanks), ' ');
        m_out += text;
        m_out += "\r\n";
    }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

std::string styleText(TFontStyles style)
{
    std::string out = "[";
    for (int i = 0; i < 4; ++i)
        if (style & kStyles[i]) {
            if (out.size() > 1)
                out += ",";
            out += kStyleNames[i];
        }
    return out + "]";
}

TFontStyles parseStyle(const std::string& text)
{
    TFontStyles style = 0;
    for (int i = 0; i < 4; ++i)
        if (text.find(kStyleNames[i]) != std::string::npos)
            style |= kStyles[i];
    return style;
}

void saveCheckBox(Writer& w, const char* name, bool checked, const std::string& caption)
{
    w.line(2, std::string("<TCheckBox Name=\"") + name + "\">");
    w.line(4, "<Value ");
    w.line(4, std::string("Checked=\"") + (checked ? "1" : "0") + "\" ");
    w.line(4, "Caption=\"" + XMLEncode(caption) + "\" />");
    w.line(2, "</TCheckBox>");
}

void saveListBox(Writer& w, const char* name, const TPrintWizard::TList& list)
{
    w.line(2, std::string("<TListBox Name=\"") + name + "\">");
    for (const TObjField* e : list) {
        w.line(4, "<TObjField");
        w.line(6, "FieldName=\"" + XMLEncode(e->FieldName) + "\"");
        w.line(6, "FieldWidth=\"" + IntToStr(e->FieldWidth) + "\"");
        w.line(6, std::string("IsNumeric=\"") + (e->IsNumeric ? "1" : "0") + "\"");
        w.line(6, "Alignment=\"" + IntToStr(e->Alignment) + "\"");
        w.line(6, "PrintLabel=\"" + XMLEncode(e->PrintLabel) + "\">");
        w.line(6, "<TFont");
        w.line(8, "Name=\"" + e->Font.Name() + "\"");
        w.line(8, "Size=\"" + IntToStr(e->Font.Size()) + "\"");
        w.line(8, "Style=\"" + styleText(e->Font.Style()) + "\" />");
        w.line(4, "</TObjField>");
    }
    w.line(2, "</TListBox >");
}

const char* const kListNames[] = {"lbAllFields", "lbPrint", "lbGroupFields", "lbSummReport"};

} // namespace

std::string TPrintWizard::SaveFormToXML() const
{
    Writer w;
    w.line(0, "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>");
    w.line(0, "<TfrmPrintWizardRoot Name=\"frmPrintWizardRoot\">");
    w.line(0, "<LeftPos Left=\"" + IntToStr(LeftPos) + "\"/>");
    saveCheckBox(w, "cbSumOnlyGroup", m_sumOnlyGroup, "Считать только итоги по группам"_w);
    saveCheckBox(w, "cbRS", m_rs, "Подавлять итоги снизу"_w);
    saveCheckBox(w, "cbNoSumAfterOne", m_noSumAfterOne, "Ставить итог после одной записи"_w);
    for (TListKind kind : {lkPrint, lkGroupFields, lkSummReport})
        saveListBox(w, kListNames[kind], m_lists[kind]);
    w.line(0, "</TfrmPrintWizardRoot>");
    return w.take();
}

void TPrintWizard::setFieldInList(TListKind kind, const TObjField& values)
{
    TObjField* entry = nullptr;
    for (const auto& e : m_entries)
        if (upperCase(e->FieldName) == upperCase(values.FieldName))
            entry = e.get();
    // A field the dataset no longer offers is skipped.
    if (!entry)
        return;
    entry->FieldWidth = values.FieldWidth;
    entry->Alignment = values.Alignment;
    entry->PrintLabel = values.PrintLabel;
    entry->Font = values.Font;
    if (kind == lkPrint)
        AddPrint(entry);
    else
        addTo(kind, entry);
}

void TPrintWizard::LoadFormFromXML(const std::string& fileName)
{
    std::unique_ptr<TXMLNode> doc = TXMLNode::CreateFromFile(fileName);
    const TXMLNode* root = doc.get();
    if (root && root->Name != "TfrmPrintWizardRoot")
        root = root->Nodes().NodebyName("TfrmPrintWizardRoot");
    ClearAll();
    if (!root)
        return;
    auto firstAttr = [](const TXMLNode* node) {
        const TXMLNode* a = node->Attrs().First();
        return a ? a->Value : std::string();
    };
    for (int i = 0; i < root->Nodes().Count(); ++i) {
        const TXMLNode* node = root->Nodes().GetNode(i);
        if (node->NodeType != ntNode)
            continue;
        if (node->Name == "LeftPos") {
            LeftPos = StrToInt(firstAttr(node));
        } else if (node->Name == "TCheckBox") {
            const std::string name = firstAttr(node);
            const TXMLNode* value = node->Nodes().First();
            if (!value)
                continue;
            for (int a = 0; a < value->Attrs().Count(); ++a) {
                const TXMLNode* attr = value->Attrs().GetNode(a);
                if (attr->Name != "Checked")
                    continue;
                const bool on = StrToIntDef(attr->Value, 0) != 0;
                if (name == "cbSumOnlyGroup") m_sumOnlyGroup = on;
                else if (name == "cbRS") m_rs = on;
                else if (name == "cbNoSumAfterOne") m_noSumAfterOne = on;
            }
        } else if (node->Name == "TListBox") {
            const std::string name = firstAttr(node);
            int kind = -1;
            for (int k = lkPrint; k <= lkSummReport; ++k)
                if (name == kListNames[k])
                    kind = k;
            if (kind < 0)
                continue;
            for (int c = 0; c < node->Nodes().Count(); ++c) {
                const TXMLNode* item = node->Nodes().GetNode(c);
                if (item->NodeType != ntNode)
                    continue;
                TObjField values(0, nullptr, -1);
                values.FieldName = item->GetAttr("FieldName");
                values.FieldWidth = StrToInt(item->GetAttr("FieldWidth"));
                values.IsNumeric = StrToInt(item->GetAttr("IsNumeric")) != 0;
                values.Alignment = StrToInt(item->GetAttr("Alignment"));
                values.PrintLabel = item->GetAttr("PrintLabel");
                if (const TXMLNode* font = item->Nodes().NodebyName("TFont")) {
                    values.Font.SetName(font->GetAttr("Name"));
                    values.Font.SetSize(StrToInt(font->GetAttr("Size")));
                    values.Font.SetStyle(parseStyle(font->GetAttr("Style")));
                }
                setFieldInList(static_cast<TListKind>(kind), values);
            }
        }
    }
    Conformity();
}

} // namespace lm
