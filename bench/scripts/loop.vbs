' The same loop in VBScript, for comparison: three statements per pass.
n = CLng(WScript.Arguments(0))
t0 = Timer
For i = 1 To n
  x = i * 2
  If x > 10 Then y = x
Next
t = Timer - t0
If t <= 0 Then t = 0.001
s = CStr(n * 3) & " VBScript statements in " & CStr(t) & " s: " & CStr(CLng(n * 3 / t)) & " per second"
WScript.Echo s
