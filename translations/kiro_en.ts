<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DesignFailure</name>
    <message>
        <source>「%1」が選ばれていません。</source>
        <translation>&quot;%1&quot;: no glass is chosen.</translation>
    </message>
    <message>
        <source>基準の光の波長が正しくありません。</source>
        <translation>The reference wavelength is not valid.</translation>
    </message>
    <message>
        <source>「%1」の %2 は基準の波長での屈折率が1を超えないため使えません。</source>
        <translation>&quot;%1&quot;: %2 cannot be used; its refractive index at the reference wavelength is not above 1.</translation>
    </message>
    <message>
        <source>「%1」のガラス（%2番）は基準の波長での屈折率が1を超えないため使えません。</source>
        <translation>&quot;%1&quot;: glass no. %2 cannot be used; its refractive index at the reference wavelength is not above 1.</translation>
    </message>
    <message>
        <source>口径とF値には正の数を指定してください。</source>
        <translation>Please give positive numbers for the aperture and the F-number.</translation>
    </message>
    <message>
        <source>口径 %1 mm、焦点距離 %2 mm、曲率比 %3、バックフォーカス %4 mm を満たす２枚鏡の配置が見つかりません。</source>
        <translation>No two-mirror arrangement gives an aperture of %1 mm, a focal length of %2 mm, a curvature ratio of %3 and a back focus of %4 mm.</translation>
    </message>
    <message>
        <source>口径 %1 mm、焦点距離 %2 mm ではシュミット補正板を計算できません（F値が小さすぎます）。</source>
        <translation>No Schmidt corrector plate can be computed for an aperture of %1 mm and a focal length of %2 mm (the F-number is too small).</translation>
    </message>
    <message>
        <source>設計したレンズの焦点距離を光線追跡で求められませんでした。</source>
        <translation>The focal length of the designed lens could not be found by ray tracing.</translation>
    </message>
    <message>
        <source>望遠鏡の種類</source>
        <translation>Telescope type</translation>
    </message>
</context>
<context>
    <name>EditStep</name>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>レンズ設定</source>
        <translation>Lens Data</translation>
    </message>
    <message>
        <source>口径変更</source>
        <translation>Aperture</translation>
    </message>
    <message>
        <source>説明入力</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>各種設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>屈折望遠鏡設計</source>
        <translation>Refractor Designer</translation>
    </message>
    <message>
        <source>反射望遠鏡設計</source>
        <translation>Reflector Designer</translation>
    </message>
    <message>
        <source>最適化</source>
        <translation>Optimize</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>&quot;%1&quot; を読み込めませんでした。</source>
        <translation>&quot;%1&quot; could not be read.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exist.
 Do you overwrite file ?</source>
        <translation>&quot;%1&quot; already exists.
Do you want to overwrite it?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; に書き込めませんでした。</source>
        <translation>&quot;%1&quot; could not be written.</translation>
    </message>
    <message>
        <source>現在のデータは保存されていません。
保存しますか？</source>
        <translation>The current design has not been saved.
Do you want to save it?</translation>
    </message>
    <message>
        <source>%1行目に無限大または数値でない数があります。</source>
        <translation>Line %1 holds a number that is infinite or not a number.</translation>
    </message>
    <message>
        <source>設計データのファイルではありません（バイナリデータを含んでいます）。</source>
        <translation>It is not a design file (it holds binary data).</translation>
    </message>
    <message>
        <source>設計データのファイルではありません（設計データの形式が見つかりません）。</source>
        <translation>It is not a design file (it has no layout of a design file).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; は%2行目で終わっていて、設計データが途中までしかありません。読み込めた所までを開きました。</source>
        <translation>&quot;%1&quot; ends at line %2, before the design does. The design was opened as far as it goes.</translation>
    </message>
    <message>
        <source>設計データに無限大または数値でない数があるため、保存しませんでした。</source>
        <translation>The design holds a number that is infinite or not a number, so nothing was written.</translation>
    </message>
</context>
<context>
    <name>GlassControl</name>
    <message>
        <source>第１ガラス材</source>
        <translation>First glass</translation>
    </message>
    <message>
        <source>第２ガラス材</source>
        <translation>Second glass</translation>
    </message>
    <message>
        <source>第３ガラス材</source>
        <translation>Third glass</translation>
    </message>
    <message>
        <source>補正版のガラス材</source>
        <translation>Corrector glass</translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>ファイルを表示できませんでした。
KIROをインストールしたフォルダの&quot;kiro.htm&quot;をご覧下さい。</source>
        <translation>The file could not be shown.
Please read &quot;kiro.en.htm&quot; in the folder where KIRO is installed.</translation>
    </message>
    <message>
        <source>         KIRO Ver.1.21
         望遠鏡光学系の設計と評価 (Qt 版)</source>
        <translation>         KIRO Ver.1.21
         Design and evaluation of telescope optics (Qt edition)</translation>
    </message>
    <message>
        <source>探した場所:</source>
        <translation>Places looked in:</translation>
    </message>
</context>
<context>
    <name>NumberField</name>
    <message>
        <source>「%1」の「%2」は数値として読めません。</source>
        <translation>&quot;%2&quot; in &quot;%1&quot; is not a number.</translation>
    </message>
    <message>
        <source>「%1」の「%2」は有限の数値ではありません。</source>
        <translation>&quot;%2&quot; in &quot;%1&quot; is not a finite number.</translation>
    </message>
    <message>
        <source>「%1」には整数を入力してください（「%2」）。</source>
        <translation>&quot;%1&quot; takes a whole number (&quot;%2&quot;).</translation>
    </message>
    <message>
        <source>「%1」の %2 は入力できる範囲の外です。</source>
        <translation>%2 is outside what &quot;%1&quot; can take.</translation>
    </message>
</context>
<context>
    <name>PictureExport</name>
    <message>
        <source>画像を保存</source>
        <translation>Save Picture</translation>
    </message>
    <message>
        <source>画像の形式は名前の拡張子 .png、.svg、.pdf で選んで下さい。
&quot;%1&quot;</source>
        <translation>Please choose the picture format by the extension of the name: .png, .svg or .pdf.
&quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; に画像を保存できませんでした。</source>
        <translation>The picture could not be saved to &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>ReflectorType</name>
    <message>
        <source>ニュートン</source>
        <translation>Newtonian</translation>
    </message>
    <message>
        <source>純カセグレン</source>
        <translation>Classical Cassegrain</translation>
    </message>
    <message>
        <source>マクストーフニュートン</source>
        <translation>Maksutov-Newtonian</translation>
    </message>
    <message>
        <source>マクストーフカセグレン</source>
        <translation>Maksutov-Cassegrain</translation>
    </message>
    <message>
        <source>ドール・カーカム</source>
        <translation>Dall-Kirkham</translation>
    </message>
    <message>
        <source>シュミットカセグレン</source>
        <translation>Schmidt-Cassegrain</translation>
    </message>
    <message>
        <source>ベーカー・シュミットカセグレン</source>
        <translation>Baker Schmidt-Cassegrain</translation>
    </message>
    <message>
        <source>シュミットカメラ</source>
        <translation>Schmidt camera</translation>
    </message>
</context>
<context>
    <name>RefractorType</name>
    <message>
        <source>２枚玉屈折</source>
        <translation>Doublet</translation>
    </message>
    <message>
        <source>２枚玉＋フラットナー</source>
        <translation>Doublet with field flattener</translation>
    </message>
</context>
<context>
    <name>kiro::app::AnalysisDialog</name>
    <message>
        <source>画像を保存...</source>
        <translation>Save Picture...</translation>
    </message>
    <message>
        <source>表示する波長</source>
        <translation>Lines shown</translation>
    </message>
    <message>
        <source>像高</source>
        <translation>Image height</translation>
    </message>
    <message>
        <source>%1番目の像高</source>
        <translation>Image height %1</translation>
    </message>
    <message>
        <source>印刷…</source>
        <translation>Print…</translation>
    </message>
</context>
<context>
    <name>kiro::app::ApertureChangeDialog</name>
    <message>
        <source>口径の変更</source>
        <translation>Change the aperture</translation>
    </message>
    <message>
        <source>口径／F値の変更</source>
        <translation>Change Aperture / F-number</translation>
    </message>
    <message>
        <source>F値の変更</source>
        <translation>Change the F-number</translation>
    </message>
    <message>
        <source>曲率半径や距離等全ての値が、口径の値に比例して変更されます。各種収差も比例して変化します。</source>
        <translation>Every value, radii of curvature and distances included, changes in proportion to the aperture. The aberrations change in proportion too.</translation>
    </message>
    <message>
        <source>口径のみを変更します。Fを明るくするとレンズの厚みが不足する場合がありますので注意下さい。</source>
        <translation>Only the aperture changes. A faster F-number may leave a lens too thin, so please take care.</translation>
    </message>
    <message>
        <source>元の口径</source>
        <translation>Original aperture</translation>
    </message>
    <message>
        <source>→&#x3000;変更後の口径</source>
        <translation>→ New aperture</translation>
    </message>
    <message>
        <source>変更後の口径</source>
        <translation>New aperture</translation>
    </message>
    <message>
        <source>この口径の比では寸法が扱える数の範囲を超えるため、変更できません。</source>
        <translation>This ratio of apertures would take the design&apos;s dimensions beyond the numbers a design can hold, so the change cannot be made.</translation>
    </message>
</context>
<context>
    <name>kiro::app::CurveDialog</name>
    <message>
        <source>球面収差曲線</source>
        <translation>Spherical Aberration</translation>
    </message>
    <message>
        <source>黒線：正弦条件 (d線)</source>
        <translation>Black: sine condition (d line)</translation>
    </message>
    <message>
        <source>横軸の倍率</source>
        <translation>Horizontal scale</translation>
    </message>
</context>
<context>
    <name>kiro::app::DescriptionDialog</name>
    <message>
        <source>設計データの説明</source>
        <translation>Design Description</translation>
    </message>
    <message>
        <source>説明に保存できない文字が含まれています。
シフトJIS (CP932) で表せる文字だけが使えます。</source>
        <translation>The description holds characters that cannot be saved.
Only characters that Shift JIS (CP932) can represent may be used.</translation>
    </message>
</context>
<context>
    <name>kiro::app::DesignStatusBar</name>
    <message>
        <source>ポインタの位置: 光軸方向 z と光軸からの高さ x (mm)</source>
        <translation>Pointer position: z along the optical axis and height x from it (mm)</translation>
    </message>
    <message>
        <source>側面図の縮尺: 1画素あたりの長さ</source>
        <translation>Scale of the side view: length per pixel</translation>
    </message>
    <message>
        <source>d線の焦点距離とF値 (情報表示と同じ値)</source>
        <translation>Focal length and F-number on the d line (as Information shows them)</translation>
    </message>
    <message>
        <source>z %1 mm  x %2 mm</source>
        <translation>z %1 mm  x %2 mm</translation>
    </message>
    <message>
        <source>%1 mm/画素</source>
        <translation>%1 mm/pixel</translation>
    </message>
    <message>
        <source>焦点距離 %1 mm  F%2</source>
        <translation>Focal length %1 mm  F%2</translation>
    </message>
</context>
<context>
    <name>kiro::app::FanDialog</name>
    <message>
        <source>収差図</source>
        <translation>Ray Fans</translation>
    </message>
    <message>
        <source>像高</source>
        <translation>Image height</translation>
    </message>
    <message>
        <source>縦軸の倍率</source>
        <translation>Vertical scale</translation>
    </message>
</context>
<context>
    <name>kiro::app::FieldDialog</name>
    <message>
        <source>像面湾曲・歪曲</source>
        <translation>Field Curvature and Distortion</translation>
    </message>
    <message>
        <source>像面湾曲の倍率</source>
        <translation>Field curvature scale</translation>
    </message>
    <message>
        <source>歪曲の倍率</source>
        <translation>Distortion scale</translation>
    </message>
</context>
<context>
    <name>kiro::app::HelpWindow</name>
    <message>
        <source>KIRO ヘルプ</source>
        <translation>KIRO Help</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前に見ていた箇所に戻ります (%1)</source>
        <translation>Back to where you were before (%1)</translation>
    </message>
    <message>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>ガイド内を検索</source>
        <translation>Search the guide</translation>
    </message>
    <message>
        <source>Enterで次の一致箇所へ進みます</source>
        <translation>Enter goes to the next match</translation>
    </message>
</context>
<context>
    <name>kiro::app::LensEditorDialog</name>
    <message>
        <source>タイプ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>曲率半径(mm)
2次係数(a1)</source>
        <translation>Radius (mm)
2nd-order (a1)</translation>
    </message>
    <message>
        <source>4次係数
(a2)</source>
        <translation>4th-order
(a2)</translation>
    </message>
    <message>
        <source>6次係数
(a3)</source>
        <translation>6th-order
(a3)</translation>
    </message>
    <message>
        <source>8次係数
(a4)</source>
        <translation>8th-order
(a4)</translation>
    </message>
    <message>
        <source>有効径(mm)</source>
        <translation>Effective
diameter (mm)</translation>
    </message>
    <message>
        <source>材質</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>間隔(mm)</source>
        <translation>Spacing (mm)</translation>
    </message>
    <message>
        <source>位置(mm)</source>
        <translation>Position (mm)</translation>
    </message>
    <message>
        <source>有効径が0又は負の箇所があります！</source>
        <translation>An effective diameter is 0 or negative!</translation>
    </message>
    <message>
        <source>レンズ設定</source>
        <translation>Lens Data</translation>
    </message>
    <message>
        <source>ピント調整</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>（%1行目）</source>
        <translation>(row %1)</translation>
    </message>
    <message>
        <source>%1行目の%2</source>
        <translation>%2 in row %1</translation>
    </message>
    <message>
        <source>%1（カタログにない）</source>
        <translation>%1 (not in catalogue)</translation>
    </message>
    <message>
        <source>曲率半径。非球面のタイプでは2次係数a1</source>
        <translation>Radius of curvature; the coefficient a1 for the aspheric types</translation>
    </message>
    <message>
        <source>非球面のタイプだけが使う高次の係数</source>
        <translation>Higher-order coefficient, used by the aspheric types only</translation>
    </message>
    <message>
        <source>光の通る直径。0より大きくします</source>
        <translation>Diameter light passes through; above 0</translation>
    </message>
    <message>
        <source>次の面までの距離。変えると下の面の位置が動きます</source>
        <translation>Distance to the next surface; changing it moves the surfaces below</translation>
    </message>
    <message>
        <source>光軸上の面の位置。間隔がそれに合わせて変わります</source>
        <translation>Position of the surface on the axis; the spacings follow it</translation>
    </message>
    <message>
        <source>この面の後ろの媒質</source>
        <translation>Medium after this surface</translation>
    </message>
    <message>
        <source>この面を削除し、下の面を詰めます</source>
        <translation>Deletes this surface and moves the ones below up</translation>
    </message>
    <message>
        <source>この位置に面を挿入します</source>
        <translation>Inserts a surface here</translation>
    </message>
</context>
<context>
    <name>kiro::app::LightDialog</name>
    <message>
        <source>光量曲線</source>
        <translation>Vignetting Curve</translation>
    </message>
    <message>
        <source>下端の光量</source>
        <translation>Bottom of scale</translation>
    </message>
</context>
<context>
    <name>kiro::app::MainWindow</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>スポットダイヤグラム(&amp;S)</source>
        <translation>&amp;Spot Diagram</translation>
    </message>
    <message>
        <source>収差曲線(&amp;E)</source>
        <translation>&amp;Aberration Curves</translation>
    </message>
    <message>
        <source>情報表示(&amp;I)</source>
        <translation>&amp;Information</translation>
    </message>
    <message>
        <source>光量(&amp;L)</source>
        <translation>&amp;Vignetting</translation>
    </message>
    <message>
        <source>レンズ設定(&amp;L)</source>
        <translation>&amp;Lens Data</translation>
    </message>
    <message>
        <source>口径変更(&amp;R)</source>
        <translation>&amp;Aperture</translation>
    </message>
    <message>
        <source>説明入力(&amp;A)</source>
        <translation>&amp;Description</translation>
    </message>
    <message>
        <source>自動設計(&amp;T)</source>
        <translation>Au&amp;to Design</translation>
    </message>
    <message>
        <source>屈折望遠鏡設計(&amp;K)</source>
        <translation>&amp;Refractor Designer...</translation>
    </message>
    <message>
        <source>反射望遠鏡設計(&amp;H)</source>
        <translation>Re&amp;flector Designer...</translation>
    </message>
    <message>
        <source>最適化(&amp;O)</source>
        <translation>&amp;Optimize...</translation>
    </message>
    <message>
        <source>各種設定(&amp;C)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <comment>menu</comment>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <comment>user&apos;s guide</comment>
        <translation>&amp;User&apos;s Guide</translation>
    </message>
    <message>
        <source>バージョン(&amp;A)</source>
        <translation>&amp;About KIRO</translation>
    </message>
    <message>
        <source>情報表示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>焦点位置(d線)</source>
        <translation>Focus position (d line)</translation>
    </message>
    <message>
        <source>焦点距離(d線)</source>
        <translation>Focal length (d line)</translation>
    </message>
    <message>
        <source>有効径</source>
        <translation>Effective diameter</translation>
    </message>
    <message>
        <source>F値</source>
        <translation>F-number</translation>
    </message>
    <message>
        <source>データがありません</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>元に戻す: %1(&amp;U)</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>やり直し: %1(&amp;R)</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>波面・MTF(&amp;W)</source>
        <translation>&amp;Wavefront and MTF</translation>
    </message>
    <message>
        <source>収差図(&amp;R)</source>
        <translation>&amp;Ray Fans</translation>
    </message>
    <message>
        <source>像面湾曲・歪曲(&amp;F)</source>
        <translation>&amp;Field Curvature and Distortion</translation>
    </message>
    <message>
        <source>ザイデル収差(&amp;Z)</source>
        <translation>Sei&amp;del Sums</translation>
    </message>
    <message>
        <source>画像を保存…</source>
        <translation>Save P&amp;icture…</translation>
    </message>
    <message>
        <source>側面図をPNG, SVG, PDFの画像ファイルに保存します</source>
        <translation>Saves the side view as a PNG, SVG or PDF file</translation>
    </message>
    <message>
        <source>印刷…</source>
        <translation>&amp;Print…</translation>
    </message>
    <message>
        <source>側面図を拡大(&amp;M)</source>
        <translation>&amp;Zoom In</translation>
    </message>
    <message>
        <source>側面図を縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>側面図を全体表示(&amp;A)</source>
        <translation>Fi&amp;t Side View</translation>
    </message>
    <message>
        <source>&quot;%1&quot; が見つかりません。
最近使ったファイルの一覧から外します。</source>
        <translation>&quot;%1&quot; cannot be found.
It is removed from the recent files.</translation>
    </message>
</context>
<context>
    <name>kiro::app::OptimizerDialog</name>
    <message>
        <source>球面レンズ</source>
        <translation>Spherical lenses</translation>
    </message>
    <message>
        <source>球面鏡</source>
        <translation>Spherical mirrors</translation>
    </message>
    <message>
        <source>レンズ間距離</source>
        <translation>Lens spacings</translation>
    </message>
    <message>
        <source>レンズデータの最適化</source>
        <translation>Optimize Lens Data</translation>
    </message>
    <message>
        <source>球面収差最小</source>
        <translation>Minimize spherical aberration</translation>
    </message>
    <message>
        <source>色収差最小</source>
        <translation>Minimize chromatic aberration</translation>
    </message>
    <message>
        <source>OSC最小</source>
        <translation>Minimize OSC</translation>
    </message>
    <message>
        <source>パラメータの変更範囲(%)</source>
        <translation>Range of change (%)</translation>
    </message>
    <message>
        <source>変化させるパラメータ</source>
        <translation>Parameters to vary</translation>
    </message>
    <message>
        <source>最初のパスで曲率半径を変える幅。パスごとに半分になり、1%未満で終わります</source>
        <translation>How far the radii may change in the first pass; halved every pass until below 1%</translation>
    </message>
</context>
<context>
    <name>kiro::app::OptimizerProgressDialog</name>
    <message>
        <source>パス - / -</source>
        <translation>Pass - / -</translation>
    </message>
    <message>
        <source>候補 0 / 0</source>
        <translation>Candidates 0 / 0</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>レンズデータの最適化</source>
        <translation>Optimize Lens Data</translation>
    </message>
    <message>
        <source>中止しています…</source>
        <translation>Stopping…</translation>
    </message>
    <message>
        <source>パス %1 / %2</source>
        <translation>Pass %1 / %2</translation>
    </message>
    <message>
        <source>候補 %1 / %2</source>
        <translation>Candidates %1 / %2</translation>
    </message>
    <message>
        <source>経過時間 %1 秒</source>
        <translation>Elapsed time %1 s</translation>
    </message>
    <message>
        <source>曲率半径を変える面が%1面あります。
最適化できるのは%2面までです。</source>
        <translation>The radii of %1 surfaces would be varied.
At most %2 can be optimized.</translation>
    </message>
    <message>
        <source>パラメータの変更範囲(%)が数値になっていません。</source>
        <translation>The range of change (%) is not a number.</translation>
    </message>
    <message>
        <source>最適化を中止しました。データは変わっていません。</source>
        <translation>The optimization was stopped. The design is unchanged.</translation>
    </message>
    <message numerus="yes">
        <source>最適化を中止しました。
終わった%n回のパスの結果を残し、途中のパスの変更は捨てました。</source>
        <translation>
            <numerusform>The optimization was stopped.
The result of the %n finished pass was kept; the changes of the unfinished pass were discarded.</numerusform>
            <numerusform>The optimization was stopped.
The results of the %n finished passes were kept; the changes of the unfinished pass were discarded.</numerusform>
        </translation>
    </message>
    <message>
        <source>この設計は球面収差を測れないため、最適化できません。データは変わっていません。</source>
        <translation>The spherical aberration of this design cannot be measured, so it cannot be optimized. The design is unchanged.</translation>
    </message>
    <message>
        <source>評価値 %1 → %2
</source>
        <translation>Merit %1 → %2
</translation>
    </message>
    <message>
        <source>球面収差</source>
        <translation>Spherical aberration</translation>
    </message>
    <message>
        <source>色収差</source>
        <translation>Chromatic aberration</translation>
    </message>
    <message>
        <source>OSC</source>
        <translation>OSC</translation>
    </message>
    <message>
        <source>パス %1回、候補 %2、%3 秒
</source>
        <translation>%1 passes, %2 candidates, %3 s
</translation>
    </message>
</context>
<context>
    <name>kiro::app::RecentFilesMenu</name>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
</context>
<context>
    <name>kiro::app::ReflectorDesignerDialog</name>
    <message>
        <source>反射望遠鏡設計</source>
        <translation>Reflector Designer</translation>
    </message>
    <message>
        <source>望遠鏡の種類</source>
        <translation>Telescope type</translation>
    </message>
    <message>
        <source>口径(mm)</source>
        <translation>Aperture (mm)</translation>
    </message>
    <message>
        <source>F値</source>
        <translation>F-number</translation>
    </message>
    <message>
        <source>副鏡の曲率／主鏡の曲率</source>
        <translation>Secondary / primary curvature</translation>
    </message>
    <message>
        <source>バックフォーカス距離</source>
        <translation>Back focus (mm)</translation>
    </message>
    <message>
        <source>基準の光の波長</source>
        <translation>Reference wavelength</translation>
    </message>
</context>
<context>
    <name>kiro::app::RefractorDesignerDialog</name>
    <message>
        <source>球面収差最小</source>
        <translation>Minimize spherical aberration</translation>
    </message>
    <message>
        <source>色収差最小</source>
        <translation>Minimize chromatic aberration</translation>
    </message>
    <message>
        <source>OSC最小</source>
        <translation>Minimize OSC</translation>
    </message>
    <message>
        <source>屈折望遠鏡設計</source>
        <translation>Refractor Designer</translation>
    </message>
    <message>
        <source>望遠鏡の種類</source>
        <translation>Telescope type</translation>
    </message>
    <message>
        <source>口径(mm)</source>
        <translation>Aperture (mm)</translation>
    </message>
    <message>
        <source>F値</source>
        <translation>F-number</translation>
    </message>
    <message>
        <source>厚み(mm)</source>
        <translation>Thickness (mm)</translation>
    </message>
    <message>
        <source>基準の光の波長</source>
        <translation>Reference wavelength</translation>
    </message>
    <message>
        <source>色収差を見る波長</source>
        <translation>Lines for chromatic aberration</translation>
    </message>
    <message>
        <source>%1の厚み(mm)</source>
        <translation>Thickness of %1 (mm)</translation>
    </message>
    <message>
        <source>レンズの中心の厚み。0 以下なら自動で決めます</source>
        <translation>Centre thickness of the lens; 0 or less means automatic</translation>
    </message>
</context>
<context>
    <name>kiro::app::SeidelDialog</name>
    <message>
        <source>ザイデル収差</source>
        <translation>Seidel Sums</translation>
    </message>
    <message>
        <source>合計</source>
        <translation>Sum</translation>
    </message>
    <message>
        <source>焦点距離か口径が0のため計算できません</source>
        <translation>No sums: the focal length or the aperture is 0</translation>
    </message>
    <message>
        <source>テキストでコピー</source>
        <translation>Copy as Text</translation>
    </message>
    <message>
        <source>波面収差係数 (d線の波長単位)</source>
        <translation>Wavefront coefficients (waves at the d line)</translation>
    </message>
</context>
<context>
    <name>kiro::app::SettingsDialog</name>
    <message>
        <source>各種設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>光学系表示</source>
        <translation>Side View</translation>
    </message>
    <message>
        <source>・光線の数</source>
        <translation>• Number of rays</translation>
    </message>
    <message>
        <source>本</source>
        <translation>rays</translation>
    </message>
    <message>
        <source>・光線の入射角</source>
        <translation>• Angle of incidence</translation>
    </message>
    <message>
        <source>度</source>
        <translation>degrees</translation>
    </message>
    <message>
        <source>スポットダイヤグラム</source>
        <translation>Spot Diagram</translation>
    </message>
    <message>
        <source>ポイント数固定</source>
        <translation>Fixed number of points</translation>
    </message>
    <message>
        <source>ピッチ固定</source>
        <translation>Fixed pitch</translation>
    </message>
    <message>
        <source>縦横共に</source>
        <translation>across</translation>
    </message>
    <message>
        <source>ポイント</source>
        <translation>points</translation>
    </message>
    <message>
        <source>ピッチ</source>
        <translation>pitch</translation>
    </message>
    <message>
        <source>光源の位置</source>
        <translation>Light Source</translation>
    </message>
    <message>
        <source>無限遠</source>
        <translation>At infinity</translation>
    </message>
    <message>
        <source>座標指定</source>
        <translation>At the point</translation>
    </message>
    <message>
        <source>光線の数</source>
        <translation>Number of rays</translation>
    </message>
    <message>
        <source>光線の入射角</source>
        <translation>Angle of incidence</translation>
    </message>
    <message>
        <source>ポイント数</source>
        <translation>Number of points</translation>
    </message>
    <message>
        <source>光源の座標 %1</source>
        <translation>Source coordinate %1</translation>
    </message>
    <message>
        <source>配置図に描く光線の本数（0〜20）</source>
        <translation>Rays drawn in the layout (0 to 20)</translation>
    </message>
    <message>
        <source>軸外の光線が光軸となす角度</source>
        <translation>Angle of the off-axis rays to the axis</translation>
    </message>
    <message>
        <source>開口の直径を横切る点の数（1〜100）</source>
        <translation>Points across the aperture diameter (1 to 100)</translation>
    </message>
    <message>
        <source>点の間隔（1mm単位、1以上）</source>
        <translation>Spacing of the points in whole mm (at least 1)</translation>
    </message>
    <message>
        <source>点光源の座標（mm）</source>
        <translation>Position of the point source (mm)</translation>
    </message>
</context>
<context>
    <name>kiro::app::SpotDialog</name>
    <message>
        <source>エアリーディスク</source>
        <translation>Airy disk</translation>
    </message>
    <message>
        <source>倍率</source>
        <translation>Magnification</translation>
    </message>
</context>
<context>
    <name>kiro::app::WavefrontDialog</name>
    <message>
        <source>波面・MTF</source>
        <translation>Wavefront and MTF</translation>
    </message>
    <message>
        <source>波面</source>
        <translation>Wavefront</translation>
    </message>
    <message>
        <source>スターテスト</source>
        <translation>Star test</translation>
    </message>
    <message>
        <source>PSFを対数で</source>
        <translation>Logarithmic PSF</translation>
    </message>
    <message>
        <source>瞳の分割 N</source>
        <translation>Pupil grid N</translation>
    </message>
    <message>
        <source>FFTの大きさ M</source>
        <translation>FFT size M</translation>
    </message>
    <message>
        <source>デフォーカス k(波長)</source>
        <translation>Defocus k (waves)</translation>
    </message>
    <message>
        <source>計算中...</source>
        <translation>Computing...</translation>
    </message>
    <message>
        <source>回折限界</source>
        <translation>diffraction-limited</translation>
    </message>
    <message>
        <source>最良焦点</source>
        <translation>best focus</translation>
    </message>
    <message>
        <source>波面なし</source>
        <translation>no wavefront</translation>
    </message>
</context>
</TS>
