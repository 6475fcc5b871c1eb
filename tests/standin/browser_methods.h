// Every member of IWebBrowser2 after IDispatch, in vtable order, as
// X(name, parameter list, argument list), for classes that implement all of them alike.
#pragma once

#define STANDIN_GETSET(X, name, type)               \
  X(get_##name, (type * value), (value))           \
  X(put_##name, (type value), (value))

#define STANDIN_WEB_BROWSER_METHODS(X)                                                    \
  X(GoBack, (), ())                                                                       \
  X(GoForward, (), ())                                                                    \
  X(GoHome, (), ())                                                                       \
  X(GoSearch, (), ())                                                                     \
  X(Navigate, (BSTR url, VARIANT * flags, VARIANT * frame, VARIANT * post, VARIANT * headers), \
    (url, flags, frame, post, headers))                                                   \
  X(Refresh, (), ())                                                                      \
  X(Refresh2, (VARIANT * level), (level))                                                 \
  X(Stop, (), ())                                                                         \
  X(get_Application, (IDispatch * *value), (value))                                       \
  X(get_Parent, (IDispatch * *value), (value))                                            \
  X(get_Container, (IDispatch * *value), (value))                                         \
  X(get_Document, (IDispatch * *value), (value))                                          \
  X(get_TopLevelContainer, (VARIANT_BOOL * value), (value))                               \
  X(get_Type, (BSTR * value), (value))                                                    \
  STANDIN_GETSET(X, Left, LONG)                                                           \
  STANDIN_GETSET(X, Top, LONG)                                                            \
  STANDIN_GETSET(X, Width, LONG)                                                          \
  STANDIN_GETSET(X, Height, LONG)                                                         \
  X(get_LocationName, (BSTR * value), (value))                                            \
  X(get_LocationURL, (BSTR * value), (value))                                             \
  X(get_Busy, (VARIANT_BOOL * value), (value))                                            \
  X(Quit, (), ())                                                                         \
  X(ClientToWindow, (int* width, int* height), (width, height))                           \
  X(PutProperty, (BSTR name, VARIANT value), (name, value))                               \
  X(GetProperty, (BSTR name, VARIANT * value), (name, value))                             \
  X(get_Name, (BSTR * value), (value))                                                    \
  X(get_HWND, (SHANDLE_PTR * value), (value))                                             \
  X(get_FullName, (BSTR * value), (value))                                                \
  X(get_Path, (BSTR * value), (value))                                                    \
  STANDIN_GETSET(X, Visible, VARIANT_BOOL)                                                \
  STANDIN_GETSET(X, StatusBar, VARIANT_BOOL)                                              \
  X(get_StatusText, (BSTR * value), (value))                                              \
  X(put_StatusText, (BSTR value), (value))                                                \
  STANDIN_GETSET(X, ToolBar, int)                                                         \
  STANDIN_GETSET(X, MenuBar, VARIANT_BOOL)                                                \
  STANDIN_GETSET(X, FullScreen, VARIANT_BOOL)                                             \
  X(Navigate2, (VARIANT * url, VARIANT * flags, VARIANT * frame, VARIANT * post, VARIANT * headers), \
    (url, flags, frame, post, headers))                                                   \
  X(QueryStatusWB, (OLECMDID command, OLECMDF * state), (command, state))                  \
  X(ExecWB, (OLECMDID command, OLECMDEXECOPT option, VARIANT * in, VARIANT * out),         \
    (command, option, in, out))                                                           \
  X(ShowBrowserBar, (VARIANT * id, VARIANT * show, VARIANT * size), (id, show, size))     \
  X(get_ReadyState, (READYSTATE * value), (value))                                        \
  STANDIN_GETSET(X, Offline, VARIANT_BOOL)                                                \
  STANDIN_GETSET(X, Silent, VARIANT_BOOL)                                                 \
  STANDIN_GETSET(X, RegisterAsBrowser, VARIANT_BOOL)                                      \
  STANDIN_GETSET(X, RegisterAsDropTarget, VARIANT_BOOL)                                   \
  STANDIN_GETSET(X, TheaterMode, VARIANT_BOOL)                                            \
  STANDIN_GETSET(X, AddressBar, VARIANT_BOOL)                                             \
  STANDIN_GETSET(X, Resizable, VARIANT_BOOL)
