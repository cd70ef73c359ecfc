@echo off
set jpgname=C:\TEMP\file.txt
set jpgpath=D:\pics\
set Udrvpath=E:\out
echo 清空临时文件UM7Y9X4K.txt
if exist UM7Y9X4K.txt del UM7Y9X4K.txt
echo.
for /f "delims=" %%1 in (%jpgname%) do (
echo 查找文件: %%1,请等待。。。
dir/b/s "%jpgpath%%%1">>UM7Y9X4K.txt
)
echo.
echo 查找结果保存在:UM7Y9X4K.txt
echo.
echo 正在复制文件，请等待。。。
for /f "delims=" %%1 in (UM7Y9X4K.txt) do copy "%%1" "%Udrvpath%"
echo.
echo 完成！
echo.
