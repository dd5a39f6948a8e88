// Reading a search window's controls (see search_controls.h).
#include "query/search_controls.h"

#include "query/globals.h"

namespace query {

SearchRequest searchRequestFrom(ui::Form& window, const std::string& T) {
    SearchRequest request;
    request.text = T;
    request.fields = {searchname1, searchname2, searchname3};
    request.checkedField = window.radio("单选框4").isChecked()   ? 0
                           : window.radio("单选框5").isChecked() ? 1
                           : window.radio("单选框6").isChecked() ? 2
                                                                 : -1;
    request.exact = window.checkBox("精确查找选择框").isChecked();
    request.numeric = window.checkBox("数值处理选择框").isChecked();
    return request;
}

}  // namespace query
