#include "DemoTemplates.h"

namespace
{

const TDemoProvider ProviderRows[] = {
    {"S001", "統一企業股份有限公司"},
    {"S002", "味全食品工業股份有限公司"},
    {"S003", "金車股份有限公司"},
    {"S004", "泰山企業股份有限公司"},
    {"S005", "黑松股份有限公司"},
    {"S006", "維力食品工業股份有限公司"},
    {"S007", "義美食品股份有限公司"},
    {"S008", "光泉牧場股份有限公司"},
    {"S009", "愛之味股份有限公司"},
    {"S010", "台灣菸酒股份有限公司"},
    {"S011", "聯華食品工業股份有限公司"},
    {"S012", "宜蘭食品工業股份有限公司"},
    {"S013", "台灣花王股份有限公司"},
    {"S014", "台灣寶僑家品股份有限公司"},
    {"S015", "南僑化學工業股份有限公司"},
    {"S016", "萬家香醬園股份有限公司"},
    {"S017", "金蘭食品股份有限公司"},
    {"S018", "新東陽股份有限公司"},
    {"S019", "台灣糖業股份有限公司"},
    {"S020", "佳格食品股份有限公司"},
    {"S021", "台灣可口可樂股份有限公司"},
    {"S022", "奇美食品股份有限公司"},
    {"S023", "桂冠實業股份有限公司"},
    {"S024", "雄獅鉛筆廠股份有限公司"},
    {"S025", "台灣金百利克拉克股份有限公司"},
    {"S026", "遠流出版事業股份有限公司"},
};

const TDemoItem ItemRows[] = {
    {"1101", "泡麵", "香Q有嚼勁，三分鐘即可食用|經典口味，宵夜良伴"},
    {"1102", "餅乾", "香酥可口，老少咸宜|下午茶點心首選"},
    {"1103", "零食", "嚴選原料，香脆好滋味|追劇必備零嘴"},
    {"1104", "罐頭", "開罐即食，方便又美味|常溫保存，居家常備"},
    {"1105", "調味料", "古法釀造，甘醇順口|料理提味好幫手"},
    {"1106", "米糧", "營養豐富，早餐好選擇|全家人的健康主食"},
    {"1201", "冷凍食品", "急速冷凍，鎖住鮮味|請保存於攝氏零下十八度以下"},
    {"1202", "乳品", "新鮮直送，請冷藏保存|香濃滑順，營養滿分"},
    {"2101", "飲料", "冰涼暢快，開瓶即飲|冷藏後飲用風味更佳"},
    {"2102", "咖啡", "香醇濃郁，提神醒腦|嚴選咖啡豆，風味獨特"},
    {"2201", "酒類", "未滿十八歲禁止飲酒|飲酒過量，有害健康"},
    {"3101", "清潔用品", "去污力強，洗後清香|請放置於孩童無法取得之處"},
    {"3102", "衛生紙", "柔韌厚實，溼水不易破|家庭號超值包裝"},
    {"3103", "個人清潔", "溫和潔淨，清爽不黏膩|天然植萃，呵護肌膚"},
    {"3201", "文具", "書寫流暢，不易斷水|學生辦公皆適用"},
    {"4101", "書報雜誌", "經典名著，值得收藏|新版精裝，印刷精美"},
};

const TDemoClass ClassRows[] = {
    {"01", "一般"}, {"02", "促銷"},     {"03", "新品"}, {"04", "季節"},
    {"05", "進口"}, {"06", "自有品牌"}, {"07", "寄賣"},
};

const TDemoTemplate TemplateRows[] = {
    {"S001", "2101", "統一", "Uni-President", "麥香奶茶|麥香紅茶|麥香綠茶",
     "Milk Tea|Black Tea|Green Tea", "300ml|375ml|600ml", "瓶", 6, 24, 10, 25, 270},
    {"S001", "2101", "統一", "Uni-President", "純喫茶綠茶|純喫茶紅茶|純喫茶檸檬紅茶",
     "Pure Green Tea|Pure Black Tea|Pure Lemon Tea", "650ml|960ml", "瓶", 4, 24, 20, 35, 270},
    {"S001", "1101", "統一", "Uni-President", "肉燥麵|鮮蝦麵|來一客鮮蝦魚板麵",
     "Pork Noodles|Shrimp Noodles|Shrimp Cup Noodles", "85g|63g", "包", 5, 30, 12, 32, 180},
    {"S001", "1202", "統一", "Uni-President", "布丁|AB優酪乳|瑞穗鮮乳",
     "Pudding|AB Yogurt Drink|Ruisui Fresh Milk", "100g|206ml|936ml", "個", 3, 24, 15, 95, 21},
    {"S002", "1202", "味全", "Wei Chuan", "林鳳營鮮乳|林鳳營全脂鮮乳|味全優酪乳",
     "Lin Feng Ying Milk|Whole Milk|Yogurt Drink", "936ml|1857ml|400ml", "瓶", 0, 12, 45, 110, 14},
    {"S002", "2102", "味全", "Wei Chuan", "貝納頌經典拿鐵|貝納頌咖啡",
     "Barista Latte|Barista Coffee", "350ml|375ml", "瓶", 6, 24, 25, 35, 180},
    {"S002", "1104", "味全", "Wei Chuan", "珍味肉鬆|香脆肉酥", "Pork Floss|Crispy Pork Floss",
     "150g|300g", "罐", 0, 24, 65, 150, 365},
    {"S003", "2102", "伯朗", "Mr. Brown", "咖啡|藍山咖啡|曼特寧咖啡",
     "Coffee|Blue Mountain Coffee|Mandheling Coffee", "240ml", "罐", 6, 24, 15, 22, 540},
    {"S003", "2101", "金車", "King Car", "波爾天然水|噶瑪蘭氣泡水", "Natural Water|Sparkling Water",
     "600ml|1500ml", "瓶", 0, 24, 12, 30, 720},
    {"S004", "1104", "泰山", "Taisun", "八寶粥|紫米粥|綠豆粥",
     "Eight Treasure Porridge|Purple Rice Porridge|Mung Bean Porridge", "375g", "罐", 6, 24, 22, 30,
     720},
    {"S004", "2101", "泰山", "Taisun", "冰鎮紅茶|仙草蜜|純水",
     "Iced Black Tea|Grass Jelly Drink|Pure Water", "535ml|600ml|1500ml", "瓶", 0, 24, 10, 28, 365},
    {"S005", "2101", "黑松", "HeySong", "沙士|汽水|茶花綠茶",
     "Sarsaparilla|Soda|Camellia Green Tea", "330ml|600ml|1250ml", "瓶", 6, 24, 18, 45, 365},
    {"S006", "1101", "維力", "Weilih", "炸醬麵|手打麵|大乾麵",
     "Zhajiang Noodles|Hand-made Noodles|Dry Noodles", "90g|120g", "包", 5, 30, 15, 40, 180},
    {"S007", "1102", "義美", "I-Mei", "小泡芙|厚燒海苔|夾心酥",
     "Mini Puffs|Seaweed Crackers|Cream Crackers", "57g|120g|250g", "盒", 0, 24, 25, 85, 270},
    {"S008", "1202", "光泉", "Kuang Chuan", "全脂鮮乳|低脂鮮乳|米漿|豆漿",
     "Whole Milk|Low Fat Milk|Rice Milk|Soy Milk", "400ml|936ml", "瓶", 0, 12, 25, 95, 14},
    {"S009", "2101", "愛之味", "AGV", "麥仔茶|分解茶|牛奶燕麥",
     "Barley Tea|Oolong Tea|Milk Oat Drink", "590ml|340g", "瓶", 6, 24, 20, 35, 365},
    {"S009", "1104", "愛之味", "AGV", "脆瓜|土豆麵筋|花瓜",
     "Pickled Cucumber|Peanut Gluten|Pickled Melon", "170g|3入", "罐", 3, 24, 28, 75, 1080},
    {"S010", "2201", "台灣", "Taiwan", "啤酒|金牌啤酒|紅標米酒", "Beer|Gold Medal Beer|Rice Wine",
     "330ml|500ml|600ml", "罐", 6, 24, 30, 60, 365},
    {"S011", "1103", "", "Lian Hwa", "可樂果原味|可樂果酷辣|卡迪那薯條|萬歲牌杏仁果",
     "Koloko Original|Koloko Spicy|Kadina Fries|Almonds", "57g|150g", "包", 0, 48, 20, 120, 270},
    {"S012", "1102", "旺旺", "Want Want", "仙貝|雪餅|小饅頭",
     "Rice Crackers|Snow Crackers|Milk Buns", "52g|84g|210g", "包", 0, 24, 20, 60, 270},
    {"S012", "1202", "旺仔", "Want Want", "牛奶|蘋果牛奶", "Milk|Apple Milk", "125ml|250ml", "罐",
     4, 24, 15, 30, 365},
    {"S013", "3101", "花王", "Kao", "一匙靈超濃縮洗衣粉|一匙靈洗衣精|魔術靈浴室清潔劑",
     "Attack Detergent|Attack Liquid|Magiclean Bathroom", "500ml|1.9kg|2.4kg", "瓶", 0, 6, 79, 329,
     1095},
    {"S013", "3103", "蜜妮", "Biore", "淨嫩沐浴乳|洗面乳|防曬乳", "Body Wash|Facial Foam|Sunscreen",
     "100g|1000ml", "瓶", 0, 12, 99, 329, 1095},
    {"S014", "3103", "", "P&G", "飛柔洗髮乳|潘婷乳液修護洗髮乳|海倫仙度絲去屑洗髮乳",
     "Rejoice Shampoo|Pantene Shampoo|Head & Shoulders Shampoo", "400ml|700ml", "瓶", 0, 12, 129,
     299, 1095},
    {"S015", "3101", "南僑", "Nan Chiao", "水晶肥皂|水晶肥皂洗衣精",
     "Crystal Soap|Crystal Soap Liquid", "150g|1600g", "個", 3, 24, 25, 199, 1095},
    {"S016", "1105", "萬家香", "Wan Ja Shan", "純佳釀醬油|大吟釀醬油|烏醋",
     "Soy Sauce|Premium Soy Sauce|Black Vinegar", "590ml|1500ml", "瓶", 0, 12, 55, 160, 720},
    {"S017", "1105", "金蘭", "Kimlan", "醬油|辣豆瓣醬|香菇素蠔油",
     "Soy Sauce|Chili Bean Paste|Vegetarian Oyster Sauce", "460g|590ml|1500ml", "瓶", 0, 12, 45,
     150, 720},
    {"S018", "1103", "新東陽", "Hsin Tung Yang", "辣味牛肉乾|豬肉條|蜜汁豬肉乾",
     "Spicy Beef Jerky|Pork Sticks|Honey Pork Jerky", "100g|200g", "包", 0, 24, 120, 299, 180},
    {"S018", "1104", "新東陽", "Hsin Tung Yang", "肉醬|辣味肉醬|原味肉醬",
     "Meat Sauce|Spicy Meat Sauce|Classic Meat Sauce", "160g", "罐", 3, 24, 38, 48, 1080},
    {"S019", "1105", "台糖", "Taisugar", "二號砂糖|細砂糖|冰糖",
     "Brown Sugar|Fine Sugar|Rock Sugar", "500g|1kg", "包", 0, 20, 32, 65, 720},
    {"S019", "2101", "台糖", "Taisugar", "蜆精|礦泉水", "Clam Essence|Mineral Water", "62ml|600ml",
     "瓶", 6, 24, 12, 65, 720},
    {"S020", "1106", "桂格", "Quaker", "大燕麥片|即沖即食燕麥片|穀珍",
     "Oats|Instant Oats|Cereal Drink", "700g|1100g", "罐", 0, 12, 129, 269, 540},
    {"S020", "1105", "得意的一天", "Great Day", "葵花油|橄欖油|芥花油",
     "Sunflower Oil|Olive Oil|Canola Oil", "1L|2L", "瓶", 0, 6, 159, 399, 720},
    {"S021", "2101", "", "Coca-Cola", "可口可樂|雪碧|原萃綠茶|美粒果柳橙汁",
     "Coca-Cola|Sprite|Ayataka Green Tea|Minute Maid Orange", "330ml|600ml|1250ml|2000ml", "瓶", 6,
     24, 20, 65, 270},
    {"S022", "1201", "奇美", "Chimei", "高麗菜豬肉水餃|韭菜豬肉水餃|鮮肉包|芝麻包",
     "Cabbage Pork Dumplings|Leek Pork Dumplings|Pork Buns|Sesame Buns", "6入|1000g", "包", 0, 12,
     75, 189, 365},
    {"S023", "1201", "桂冠", "Laurel", "芝麻湯圓|花生湯圓|火鍋餃|蛋餃",
     "Sesame Rice Balls|Peanut Rice Balls|Hotpot Dumplings|Egg Dumplings", "96g|200g", "盒", 0, 24,
     45, 99, 365},
    {"S024", "3201", "雄獅", "Simbalion", "奇異筆黑色|奇異筆紅色|修正帶|水彩",
     "Marker Black|Marker Red|Correction Tape|Watercolors", "1支|12色", "支", 12, 144, 15, 180, 0},
    {"S025", "3102", "舒潔", "Kleenex", "抽取式衛生紙|廚房紙巾|濕式衛生紙",
     "Facial Tissue|Kitchen Towels|Wet Toilet Tissue", "100抽x12包|60張x6捲|46抽x3包", "串", 0, 8,
     89, 299, 0},
    {"S026", "4101", "", "Jin Yong", "射鵰英雄傳第一冊|神鵰俠侶第一冊|倚天屠龍記第一冊",
     "Legend of the Condor Heroes I|Return of the Condor Heroes I|Heaven Sword I", "", "本", 0, 20,
     250, 360, 0},
};

} // namespace

std::span<const TDemoProvider> DemoTemplates::Providers()
{
    return ProviderRows;
}

std::span<const TDemoItem> DemoTemplates::Items()
{
    return ItemRows;
}

std::span<const TDemoClass> DemoTemplates::Classes()
{
    return ClassRows;
}

std::span<const TDemoTemplate> DemoTemplates::Templates()
{
    return TemplateRows;
}
