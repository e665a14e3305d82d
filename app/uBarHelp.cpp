// The label-printing help; see uBarHelp.h.
#include "uBarHelp.h"

#include "Build.h"
#include "Buttons.h"
#include "Classes.h"
#include "StdCtrls.h"

TFrmBarHelp::TFrmBarHelp(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBarHelp");
    SetCaption("报表帮助");
    SetClientWidth(470);
    SetClientHeight(250);

    TBuild b(this);
    Memo1 = b.Add<TMemo>("Memo1").ReadOnly().At(8, 8, 454, 196);
    for (const char* line : {
             "  1、打印条码时,输入前缀,号码从多少到多少(小到大),选择允许重复",
             "的个数,默认为1,然后点击”生成”,生成后,可以”打印”或预览,必要是",
             "亦可重新设计报表。",
             "",
             "  2、报表设计时，双击条码可以选择条码类型，点右键点属性可以设置",
             "条码的高度，宽度等属性，在灰色区域点右键点属性设置列数，间隔、",
             "列宽等属性，每页的行数可以通过设置灰色区域的高度得到。",
             "",
             "  3、其他报表修改方法：移动时，先选择，四周会出现黑点，然后用鼠",
             "标或按Ctrl加上下左右箭头键即可。增大或缩小时，先选择，四周会出现",
             "黑点，然后用鼠标或按Shift加上下左右箭头键即可。",
         })
        Memo1->Lines()->Add(line);

    BitBtn1 = b.Add<TBitBtn>("BitBtn1").Caption("退出").At(382, 214, 80, 27).OnClick(&TFrmBarHelp::BitBtn1Click);
}

void TFrmBarHelp::BitBtn1Click(TObject*) { Close(); }
