#include "feed/ErrorMessageText.h"

namespace feed {

const wchar_t kDecoderHint[] =
    L"如果是媒体文件，请点击上面的链接下载视频解码器，安装后视频解码器，再播放，注意："
    L"本软件不能播放视频网站的加密视频（加密视频只能用视频网站指定的播放器播放）";

std::wstring ErrorMessageText(HRESULT code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message;
  if (length != 0 && text != nullptr) message.assign(text, length);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return message.empty() ? std::wstring(kDecoderHint) : message;
}

}  // namespace feed
