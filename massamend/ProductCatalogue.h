#pragma once

#include "../data/TFieldType.h"

#include <QString>
#include <QStringView>
#include <array>
#include <string_view>

// One declared product field. Texts are UTF-8; an empty DisplayLabel means the
// field shows under its name.
struct TProductFieldDef {
    std::string_view FieldName;
    TFieldType DataType;
    int Size; // Big5 bytes of a String field, 0 for numbers
    std::string_view DisplayLabel;
    bool Required;
    std::string_view DisplayFormat;
    std::string_view EditMask;

    QString Name() const { return QString::fromUtf8(FieldName.data(), FieldName.size()); }
    QString DisplayName() const;
};

// A lookup table whose name column is copied into the product row of the same
// code; code and name columns carry the same names in PRODUCT.
struct TLookupTableDef {
    std::string_view TableName;
    std::string_view CodeColumn;
    int CodeSize;
    std::string_view NameColumn;
    int NameSize;
};

// The product columns the tool reads, shows and changes, in the order that
// drives the grid and every column list.
namespace ProductCatalogue
{

inline constexpr std::array<TProductFieldDef, 105> Fields{{
    {"PROD_ID", TFieldType::ftString, 20, "商品編號", true, "", ""},
    {"PROD_ID2", TFieldType::ftString, 20, "第二代碼", false, "", ""},
    {"PROD_BARCODE", TFieldType::ftString, 20, "商品條碼", false, "", ""},
    {"PROD_NAME", TFieldType::ftString, 50, "商品名稱", false, "", ""},
    {"SAL_TAG", TFieldType::ftInteger, 0, "銷售管制", false, "", ""},
    {"NOW_QTY", TFieldType::ftFloat, 0, "現有數量", false, "", ""},
    {"STD_COST", TFieldType::ftFloat, 0, "標準成本", false, "", ""},
    {"SALE_PRICE", TFieldType::ftFloat, 0, "市價", false, "", ""},
    {"PSALE_PRICE", TFieldType::ftFloat, 0, "門市售價", true, "", ""},
    {"VIP_PRICE", TFieldType::ftFloat, 0, "會員售價", true, "", ""},
    {"P_PRICE", TFieldType::ftFloat, 0, "批價", false, "", ""},
    {"CR_PRICE", TFieldType::ftFloat, 0, "貸價", false, "", ""},
    {"PROVIDER_ID", TFieldType::ftString, 10, "廠商代號", false, "", ""},
    {"PROVIDER_NAME", TFieldType::ftString, 50, "廠商名稱", false, "", ""},
    {"PROD_SCALE", TFieldType::ftString, 30, "商品規格", false, "", ""},
    {"PROD_SNAME", TFieldType::ftString, 20, "商品簡稱", false, "", ""},
    {"UNITNAME", TFieldType::ftString, 10, "基本單位", false, "", ""},
    {"PACK1_QTY", TFieldType::ftFloat, 0, "內包數量", false, "", ""},
    {"PACK1", TFieldType::ftString, 10, "內包單位", false, "", ""},
    {"PACK1_BARCODE", TFieldType::ftString, 20, "內包條碼", false, "", ""},
    {"PACK2_QTY", TFieldType::ftFloat, 0, "外包數量", false, "", ""},
    {"PACK2", TFieldType::ftString, 10, "外包單位", false, "", ""},
    {"PACK2_BARCODE", TFieldType::ftString, 20, "外包條碼", false, "", ""},
    {"PUT_IT", TFieldType::ftString, 10, "儲位", false, "", ""},
    {"IN_PACK", TFieldType::ftString, 10, "進貨單位", false, "", ""},
    {"SAL_PACK", TFieldType::ftString, 10, "銷售單位", false, "", ""},
    {"STOCK_QTY", TFieldType::ftString, 5, "扣庫存量", false, "", ""},
    {"FIRST_COST", TFieldType::ftFloat, 0, "期初成本", false, "", ""},
    {"AVG_COST", TFieldType::ftFloat, 0, "平均成本", false, "#0.00", ""},
    {"MAVG_COST", TFieldType::ftFloat, 0, "月平均成本", false, "", ""},
    {"IN_TAG", TFieldType::ftInteger, 0, "進貨管制", false, "", ""},
    {"DEL_FLAG", TFieldType::ftString, 5, "淘汰", false, "", ""},
    {"FLAG", TFieldType::ftString, 10, "", false, "", ""},
    {"HI_ITEMID", TFieldType::ftString, 10, "大類代號", false, "", ""},
    {"MID_ITEMID", TFieldType::ftString, 10, "中類代號", false, "", ""},
    {"PD_ITEMID", TFieldType::ftString, 10, "類別代號", false, "", ""},
    {"PD_ITEMNAME", TFieldType::ftString, 20, "類別名稱", false, "", ""},
    {"PD_CLASSID", TFieldType::ftString, 5, "屬性代號", false, "", ""},
    {"PD_CLASSNAME", TFieldType::ftString, 10, "屬性", false, "", ""},
    {"CR_DATE", TFieldType::ftString, 10, "建檔日期", false, "", ""},
    {"PHOTO_PATH", TFieldType::ftString, 200, "圖檔路逕", false, "", ""},
    {"DESCRIPTION", TFieldType::ftString, 200, "商品描述", false, "", ""},
    {"SAFE_DAY", TFieldType::ftInteger, 0, "安全天數", false, "", ""},
    {"SAFE_QTY", TFieldType::ftInteger, 0, "安全數量", false, "", ""},
    {"BEFORE_QTY", TFieldType::ftFloat, 0, "期初數量", false, "", ""},
    {"NEAR_INDATE", TFieldType::ftString, 10, "最近進貨日", false, "", ""},
    {"NEAR_SALDATE", TFieldType::ftString, 10, "最近銷售日", false, "", ""},
    {"ABC", TFieldType::ftString, 5, "分組", false, "", ""},
    {"PT_CLASS", TFieldType::ftString, 2, "盤點週期", false, "", ""},
    {"BILL_CLASS", TFieldType::ftString, 1, "適用卷別", false, "", ""},
    {"MAKE_POINT", TFieldType::ftInteger, 0, "採購比", false, "", ""},
    {"SHOW_QTY", TFieldType::ftString, 5, "數量顯示", false, "", ""},
    {"CHG_DATE", TFieldType::ftString, 10, "異動日期", false, "", ""},
    {"CHG_USER", TFieldType::ftString, 10, "異動人員", false, "", ""},
    {"TAX_KIND", TFieldType::ftString, 10, "稅別", false, "", ""},
    {"BUY_CLASS", TFieldType::ftString, 10, "", false, "", ""},
    {"MS", TFieldType::ftString, 1, "", false, "", ""},
    {"INI_DATE", TFieldType::ftString, 10, "", false, "", ""},
    {"END_DATE", TFieldType::ftString, 10, "", false, "", ""},
    {"PUT_ID", TFieldType::ftString, 10, "", false, "", "!00-00-0;0;"},
    {"P_PU", TFieldType::ftString, 1, "", false, "", ""},
    {"CHG_TIME", TFieldType::ftString, 10, "", false, "", ""},
    {"PRN_CODE_YN", TFieldType::ftString, 1, "", false, "", ""},
    {"P_PU2", TFieldType::ftString, 1, "", false, "", ""},
    {"MEM_DISCOUNT", TFieldType::ftString, 1, "", false, "", ""},
    {"U_DIS", TFieldType::ftFloat, 0, "", false, "", ""},
    {"HEAD_NO", TFieldType::ftString, 20, "賣頭代號", false, "", ""},
    {"WEB_SHOW", TFieldType::ftString, 1, "WEB展示", false, "", ""},
    {"N_PRICE", TFieldType::ftFloat, 0, "一般價", false, "", ""},
    {"P_PRICE2", TFieldType::ftFloat, 0, "小批價", false, "", ""},
    {"NET_COST", TFieldType::ftFloat, 0, "淨成本", false, "", ""},
    {"ADD_COST", TFieldType::ftFloat, 0, "附加成本", false, "", ""},
    {"PUT_FACE", TFieldType::ftFloat, 0, "排面數", false, "", ""},
    {"PUT_X", TFieldType::ftFloat, 0, "層數", false, "", ""},
    {"PUT_Y", TFieldType::ftFloat, 0, "深數", false, "", ""},
    {"LEND_QTY", TFieldType::ftFloat, 0, "借貨數", false, "", ""},
    {"FREE_TAX", TFieldType::ftFloat, 0, "免稅額", false, "", ""},
    {"SEND_YN", TFieldType::ftString, 1, "寄賣", false, "", ""},
    {"DE_RATE", TFieldType::ftFloat, 0, "損耗率", false, "", ""},
    {"ERN_RATE", TFieldType::ftFloat, 0, "佣金比率", false, "", ""},
    {"P_VALUE", TFieldType::ftFloat, 0, "點數", false, "", ""},
    {"PROVIDER_ID2", TFieldType::ftString, 10, "", false, "", ""},
    {"PROVIDER_NAME2", TFieldType::ftString, 50, "", false, "", ""},
    {"HEA_TAX", TFieldType::ftFloat, 0, "健康捐", false, "", ""},
    {"DEF_PROFIT", TFieldType::ftFloat, 0, "預估獲利", false, "", ""},
    {"E_NAME", TFieldType::ftString, 200, "英文名稱", false, "", ""},
    {"PUBLISHER", TFieldType::ftString, 50, "出版公司", false, "", ""},
    {"AUTHOR", TFieldType::ftString, 50, "作者", false, "", ""},
    {"RENDER", TFieldType::ftString, 20, "譯者", false, "", ""},
    {"TAX_ITEM_NO", TFieldType::ftString, 10, "稅代號", false, "", ""},
    {"TAX_ITEM_NAME", TFieldType::ftString, 30, "稅名稱", false, "", ""},
    {"POINT_YN", TFieldType::ftString, 1, "點數累計", false, "", ""},
    {"PR_VALUE", TFieldType::ftFloat, 0, "分裝比例", false, "", ""},
    {"P_LTCOST", TFieldType::ftFloat, 0, "", false, "", ""},
    {"STK_PRN", TFieldType::ftString, 1, "存貨分類印", false, "", ""},
    {"LOWER_PRICE", TFieldType::ftFloat, 0, "最低售價", false, "", ""},
    {"P_LOWQTY", TFieldType::ftFloat, 0, "最低訂量", false, "", ""},
    {"LIMIT_DAY", TFieldType::ftFloat, 0, "保存天數", false, "", ""},
    {"BUY_Q", TFieldType::ftFloat, 0, "買", false, "", ""},
    {"BUY_G", TFieldType::ftFloat, 0, "搭", false, "", ""},
    {"ADV_MON_DIS", TFieldType::ftFloat, 0, "月扣%", false, "", ""},
    {"ADV_MON_DIS_YN", TFieldType::ftString, 1, "是否使用", false, "", ""},
    {"HCOST_YN", TFieldType::ftString, 1, "退貨半價", false, "", ""},
    {"BRK_YN", TFieldType::ftString, 1, "買斷", false, "", ""},
    {"GIVE_QTY2", TFieldType::ftFloat, 0, "贈量2", false, "", ""},
}};

inline constexpr std::array<TLookupTableDef, 3> LookupTables{{
    {"PROVIDER", "PROVIDER_ID", 10, "PROVIDER_NAME", 50},
    {"PROD_ITEM", "PD_ITEMID", 10, "PD_ITEMNAME", 20},
    {"PROD_CLASS", "PD_CLASSID", 5, "PD_CLASSNAME", 10},
}};

// Position of a field known at compile time; an unknown name does not compile.
consteval int IndexOf(std::string_view fieldName)
{
    for (std::size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i].FieldName == fieldName) return int(i);
    throw "not a product field";
}

// Position of a field by name, ignoring case as field lookups do; -1 when the
// name is not a product field.
int FindIndex(QStringView fieldName);

} // namespace ProductCatalogue
