#include "feed/ErrorMessageText.h"

#include "framework/SystemMessage.h"

namespace feed {

const wchar_t kDecoderHint[] =
    L"如果是媒体文件，请点击上面的链接下载视频解码器，安装后视频解码器，再播放，注意："
    L"本软件不能播放视频网站的加密视频（加密视频只能用视频网站指定的播放器播放）";

std::wstring ErrorMessageText(HRESULT code) {
  std::wstring text = framework::SystemMessageText(static_cast<DWORD>(code));
  // A system error wrapped as a result code has the system's text for the error itself.
  if (text.empty() && HRESULT_FACILITY(code) == FACILITY_WIN32)
    text = framework::SystemMessageText(HRESULT_CODE(code));
  // One line for a status line: without the line break the system ends its texts with.
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return text.empty() ? std::wstring(kDecoderHint) : text;
}

}  // namespace feed
