#pragma once

#include <string_view>

// Every command word of the page language, once, with what a person needs to use it: the family
// it belongs to, its arguments (optional ones in brackets) and a one-line summary in English and
// Japanese. The user manual's index, the window's highlighting and completion, and the usage text
// all read this one list, so they cannot disagree with the dispatcher.
//
// VORLIX_COMMAND_TABLE(Entry, Pass) calls Entry(Pass, Name, "word", Family, "arguments", "summary",
// "要約") for each command; Pass is handed through untouched so that a narrower list can be made
// from this one (see VORLIX_ENUMERATE_COMMANDS below).
// clang-format off
#define VORLIX_COMMAND_TABLE(Entry, Pass) \
    Entry(Pass, H, "h", Drawing, "x,y,length", "horizontal line from (x, y) to the right", "(x, y) から右へ水平線を引く") \
    Entry(Pass, V, "v", Drawing, "x,y,length", "vertical line from (x, y) downwards", "(x, y) から下へ垂直線を引く") \
    Entry(Pass, D, "d", Drawing, "x1,y1,x2,y2", "line between two points", "2 点を結ぶ線を引く") \
    Entry(Pass, M, "m", Drawing, "x,y,dx,dy", "line from (x, y) by an offset", "(x, y) から差分 (dx, dy) の線を引く") \
    Entry(Pass, G, "g", Drawing, "x,y,length,angle", "line from (x, y) by length and angle in degrees", "(x, y) から長さと角度（度）で線を引く") \
    Entry(Pass, Pl, "pl", Drawing, "x,y,dx1,dy1,dx2,dy2,...", "polyline whose points are offsets from (x, y)", "(x, y) からの差分で折れ線を引く") \
    Entry(Pass, S, "s", Text, "x,y,text[,width]", "plain text, wrapped at the width when one is given", "文字列を書く（幅があればそこで折り返す）") \
    Entry(Pass, Sr, "sr", Text, "x,y,text", "plain text that ends at x (right-aligned)", "x で終わるように文字列を書く（右揃え）") \
    Entry(Pass, Sc, "sc", Text, "x,y,text", "plain text centred on x", "x を中心に文字列を書く（中央揃え）") \
    Entry(Pass, Sf, "sf", Text, "x,y,align,format,value", "a number or date in a spreadsheet format, from, centred on or ending at x", "数値や日付を表示形式で書く（左・中央・右揃え）") \
    Entry(Pass, X, "x", Text, "x,y,text[,width]", "marked-up text: superscripts, subscripts, bold, italic, line breaks", "書式つき文字列を書く（上付き・下付き・太字・斜体・改行）") \
    Entry(Pass, T, "t", Text, "x,y,n,mode,pitch,step1,...,item1,item2,...", "text table: items on a grid of n per line or column", "文字列の表：n 個ずつ格子状に並べる") \
    Entry(Pass, F, "f", Text, "slot", "select a font slot", "フォント番号を選ぶ") \
    Entry(Pass, P, "p", Drawing, "slot", "select a pen slot", "ペン番号を選ぶ") \
    Entry(Pass, O, "o", Drawing, "x,y[,mode]", "origin at (x, y) and the axis mode 0 to 7", "原点 (x, y) と軸モード 0〜7 を決める") \
    Entry(Pass, Fs, "fs", Text, "slot,face,size[,flags[,angle]]", "define a font slot: face, size in points, bold/italic/underline/strike-out, direction", "フォント番号を定義する：書体・ポイント・太字等・文字の向き") \
    Entry(Pass, Ps, "ps", Drawing, "slot,width,colour,style", "define a pen slot: width, colour and line style", "ペン番号を定義する：太さ・色・線種") \
    Entry(Pass, Cbx, "cbx", Drawing, "x,y,width,height", "white filled box that blanks an area", "白く塗りつぶした箱で領域を消す") \
    Entry(Pass, R, "r", Drawing, "x,y,radius", "circle around (x, y)", "(x, y) を中心に円を描く") \
    Entry(Pass, C, "c", Drawing, "x,y,width,height", "clip later drawing to a rectangle", "以後の描画を長方形の内側に限る") \
    Entry(Pass, Nc, "nc", Drawing, "", "remove the clipping rectangle", "クリップを解除する") \
    Entry(Pass, Img, "img", Drawing, "x,y,file[,width[,height]]", "picture file (PNG, BMP, JPEG) at (x, y), optionally scaled", "画像ファイル（PNG・BMP・JPEG）を置く（大きさは任意）") \
    Entry(Pass, Bc, "bc", Drawing, "x,y,kind,height,module,data[,option]", "barcode or 2D code (EAN/JAN, UPC, Code 39, Code 128, GS1-128, ITF, NW-7, QR, Data Matrix, PDF417, customer barcode)", "バーコード・二次元コード（JAN・UPC・Code39・Code128・GS1-128・ITF・NW-7・QR・データマトリックス・PDF417・カスタマバーコード）") \
    Entry(Pass, As, "as", Axis, "axis,type,a,b", "define axis 0 to 8: linear, logarithmic, reversed or square root", "軸 0〜8 を定義する：線形・対数・逆向き・平方根") \
    Entry(Pass, A, "a", Axis, "xaxis,yaxis", "choose the axes used for x and y values", "x と y に使う軸を選ぶ") \
    Entry(Pass, Av, "av", Axis, "length,y,x1,x2,...", "vertical lines at x values, starting at a y value", "x の値の位置に垂直線を引く") \
    Entry(Pass, Ah, "ah", Axis, "length,x,y1,y2,...", "horizontal lines at y values, starting at an x value", "y の値の位置に水平線を引く") \
    Entry(Pass, Al, "al", Axis, "x,y,vertical,from,to,step", "value labels at axis positions, stepped in data units", "軸の目盛り数値を値の刻みで書く") \
    Entry(Pass, Ab, "ab", Axis, "x,y,vertical,from,to,step", "value labels stepped in page units", "軸の目盛り数値を用紙上の刻みで書く") \
    Entry(Pass, Ala, "ala", Axis, "x,y,dx,dy,text[,width]", "marked-up text at a data point, moved by (dx, dy)", "データ点から (dx, dy) ずらして書式つき文字列を書く") \
    Entry(Pass, Ad, "ad", Axis, "x1,y1,x2,y2", "line between two data points", "2 つのデータ点を結ぶ線を引く") \
    Entry(Pass, Ag, "ag", Axis, "x,y,length,angle", "line from a data point by length and angle", "データ点から長さと角度で線を引く") \
    Entry(Pass, Agf, "agf", Axis, "y0,angle,x1,x2", "straight line y = y0 + tan(angle)·x from x1 to x2", "直線 y = y0 + tan(角度)·x を x1 から x2 まで引く") \
    Entry(Pass, Ap, "ap", Axis, "x1,y1,x2,y2,...", "polyline through data points", "データ点を結ぶ折れ線を引く") \
    Entry(Pass, Am, "am", Axis, "mark,x1,y1,x2,y2,...", "marks (circles, squares, triangles, stars, arrows) at data points", "データ点に記号（○□△☆矢印など）を置く") \
    Entry(Pass, App, "app", Axis, "columns,xcolumn,swap,pen...,axis...,values...", "table of values plotted as lines, one pen per column", "数値表を列ごとのペンで折れ線グラフにする") \
    Entry(Pass, Apm, "apm", Axis, "columns,xcolumn,swap,mark...,axis...,values...", "table of values plotted as marks, one mark per column", "数値表を列ごとの記号で点グラフにする") \
    Entry(Pass, Ahr, "ahr", Axis, "x,y,diameter,x2,diameter2,...", "half circles side by side on one line", "1 本の線上に半円を並べる") \
    Entry(Pass, Ar, "ar", Axis, "x,y,radius,x2,y2,radius2,...", "half circles at data points", "データ点に半円を描く") \
    Entry(Pass, Arc, "arc", Axis, "radius,x1,y1,x2,y2,...", "half circles of one radius at data points", "同じ半径の半円をデータ点に描く") \
    Entry(Pass, At, "at", GraphPaper, "x1,y1,x2,y2,...", "smooth curve through data points", "データ点を通る滑らかな曲線を引く") \
    Entry(Pass, Gra, "gra", GraphPaper, "x,y,width,height[,period,kind]", "graph paper: decimal, semi-logarithmic or logarithmic", "方眼紙：方眼・片対数・両対数") \
    Entry(Pass, Fgra, "fgra", GraphPaper, "x,y,width,height,period,pattern,direction", "one family of graph-paper lines", "方眼の罫線を一方向だけ引く") \
    Entry(Pass, Glc, "glc", GraphPaper, "colour", "colour of graph-paper lines", "方眼の罫線の色を決める") \
    Entry(Pass, Start, "start", Structure, "", "begin a page", "ページを始める") \
    Entry(Pass, Head, "head", Structure, "", "header of a paged document; no action on the page", "ページ付き文書の見出し（描画はしない）") \
    Entry(Pass, Piece, "piece", Structure, "", "merge: end of the common part, then one record per page", "差し込み：共通部分の終わり、以後はレコードごとのページ") \
    Entry(Pass, Chbase, "chbase", Structure, "folder,...", "merge: enter a folder of the data", "差し込み：データのフォルダに入る") \
    Entry(Pass, Tag, "tag", Structure, "tagset", "merge: the tag set the face is written in", "差し込み：フォームが使うタグセット名") \
    Entry(Pass, Out, "out", Structure, "", "end the page and start a new one", "ページを終えて改ページする") \
    Entry(Pass, Shift, "shift", Drawing, "dx,dy", "move what is drawn after it by (dx, dy), on top of the origin", "以後の描画を (dx, dy) だけずらす（原点に加えて）") \
    Entry(Pass, Rows, "rows", Structure, "name,n,pitch", "merge: detail rows, one per entry name of the record, n to a page, pitch apart; the rest flow onto further pages", "差し込み：明細行。レコードの name ごとに 1 行、1 ページに n 行、pitch 間隔。残りは続きのページへ") \
    Entry(Pass, Endrows, "endrows", Structure, "", "merge: end of the statements of one detail row", "差し込み：明細 1 行分の文の終わり") \
    Entry(Pass, Lastpage, "lastpage", Structure, "", "merge: what follows up to endlastpage goes on a record's last page only", "差し込み：endlastpage までをレコードの最後のページにだけ入れる") \
    Entry(Pass, Endlastpage, "endlastpage", Structure, "", "merge: end of the part for the last page", "差し込み：最後のページ用の部分の終わり") \
    Entry(Pass, Notlastpage, "notlastpage", Structure, "", "merge: what follows up to endnotlastpage goes on every page but a record's last", "差し込み：endnotlastpage までを最後以外のページに入れる") \
    Entry(Pass, Endnotlastpage, "endnotlastpage", Structure, "", "merge: end of the part for the pages before the last", "差し込み：最後以外のページ用の部分の終わり") \
    Entry(Pass, End, "end", Structure, "", "end the document; nothing after it is run", "文書を終える（以後は実行しない）")
// clang-format on

// COMMAND(Name, "word") for every command: generates the command enum, the name table used by the
// dispatcher and the DControl member cmd<Name> that runs the statement. Matching is exact and
// case-sensitive, so the order here does not change which command runs.
#define VORLIX_COMMAND_NAME_AND_WORD(COMMAND, name, word, ...) COMMAND(name, word)
#define VORLIX_ENUMERATE_COMMANDS(COMMAND)                                                         \
    VORLIX_COMMAND_TABLE(VORLIX_COMMAND_NAME_AND_WORD, COMMAND)

namespace vorlix::lang {

enum class Command : int {
#define VORLIX_COMMAND_ENUM(name, word) name,
    VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_ENUM)
#undef VORLIX_COMMAND_ENUM
};

// The command words in the order of the enum.
inline constexpr const char* CommandWords[] = {
#define VORLIX_COMMAND_WORD(name, word) word,
    VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_WORD)
#undef VORLIX_COMMAND_WORD
};

inline constexpr int CommandCount
    = static_cast<int>(sizeof(CommandWords) / sizeof(CommandWords[0]));

// The groups the manual and the usage text list the commands in.
enum class CommandFamily : int {
    Drawing,
    Text,
    Axis,
    GraphPaper,
    Structure,
};

// What a person sees of one command. Texts are UTF-8.
struct CommandInfo {
    Command command;
    const char* word;
    CommandFamily family;
    // Comma-separated as in a statement; optional arguments in brackets, "..." for repeats.
    const char* arguments;
    const char* summary;
    const char* summaryJa;
};

// Every command in the order of the enum.
inline constexpr CommandInfo CommandInfos[] = {
#define VORLIX_COMMAND_INFO(unused, name, word, family, arguments, summary, summaryJa)             \
    CommandInfo { Command::name, word, CommandFamily::family, arguments, summary, summaryJa },
    VORLIX_COMMAND_TABLE(VORLIX_COMMAND_INFO, unused)
#undef VORLIX_COMMAND_INFO
};

static_assert(sizeof(CommandInfos) / sizeof(CommandInfos[0]) == CommandCount);

// The entry of a command word; nullptr for a word that is no command. Exact and case-sensitive.
[[nodiscard]] constexpr const CommandInfo* findCommandInfo(std::string_view word)
{
    for (const CommandInfo& info : CommandInfos) {
        if (word == info.word)
            return &info;
    }
    return nullptr;
}

}
