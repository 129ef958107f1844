<?xml version="1.0" encoding="UTF-8"?>
<!-- 家計月報.rng に沿って書き出された XML を、月ごとの表として表示します。
     Zentabo はこの変換で XML と同じ名前の .html も作ります。A4 横に収まる印刷用の体裁です。 -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>
  <!-- 金額の書式: 3 桁ごとのカンマ、負の数はマイナス記号 -->
  <xsl:variable name="yen" select="'#,##0;-#,##0'"/>

  <xsl:template match="/家計月報">
    <xsl:variable name="title" select="normalize-space(表題)"/>
    <html lang="ja">
      <head>
        <title><xsl:choose><xsl:when test="$title"><xsl:value-of select="$title"/></xsl:when>
          <xsl:otherwise>家計月報</xsl:otherwise></xsl:choose></title>
        <style>
          @page { size: A4 landscape; margin: 12mm 10mm; }
          html { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
          body { font-family: "Noto Sans CJK JP", "Noto Sans JP", "Hiragino Kaku Gothic ProN",
                 "Yu Gothic", "Meiryo", "IPAexGothic", "IPAPGothic", sans-serif;
                 margin: 24px; color: #222; }
          h1 { font-size: 20px; border-bottom: 3px solid #4a7d5a; padding-bottom: 4px; margin: 0 0 12px; }
          table { border-collapse: collapse; font-size: 12px; width: 100%; }
          th, td { border: 1px solid #b8c4bb; padding: 3px 6px; }
          td { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
          td.minus { color: #b00020; }
          thead th { background: #4a7d5a; color: #fff; font-weight: normal; }
          tbody th { text-align: left; font-weight: normal; white-space: nowrap; }
          tr.group th { background: #dfeee3; font-weight: bold; text-align: left; }
          tr.subtotal th, tr.subtotal td { background: #f1f6f2; font-weight: bold; }
          tr.total th, tr.total td { background: #fff7dc; font-weight: bold; }
          tr.balance th, tr.balance td { background: #4a7d5a; color: #fff; font-weight: bold; }
          td.year { background: #f6f6f6; }
          .notes { margin-top: 20px; max-width: 900px; }
          .notes h2 { font-size: 15px; border-left: 5px solid #4a7d5a; padding-left: 6px; }
          .notes p { white-space: pre-wrap; margin: 4px 0; }
          @media print {
            body { margin: 0; font-size: 9pt; }
            h1 { font-size: 14pt; }
            table { font-size: 9pt; }
            th, td { padding: 2pt 4pt; }
            thead { display: table-header-group; }
            tr { break-inside: avoid; page-break-inside: avoid; }
            .notes { break-inside: avoid; }
          }
        </style>
      </head>
      <body>
        <h1><xsl:choose><xsl:when test="$title"><xsl:value-of select="$title"/></xsl:when>
          <xsl:otherwise>家計月報</xsl:otherwise></xsl:choose></h1>
        <table>
          <thead><tr><th>項目</th><th>1月</th><th>2月</th><th>3月</th><th>4月</th><th>5月</th><th>6月</th><th>7月</th><th>8月</th><th>9月</th><th>10月</th><th>11月</th><th>12月</th><th>年計</th></tr></thead>
          <tbody>
            <xsl:apply-templates select="収入"/>
            <xsl:apply-templates select="固定費"/>
            <xsl:apply-templates select="生活費"/>
            <tr class="total">
              <th>支出合計</th>
              <xsl:call-template name="cells">
                <xsl:with-param name="items" select="固定費/* | 生活費/*"/>
              </xsl:call-template>
            </tr>
            <tr class="balance">
              <th>収支</th>
              <xsl:call-template name="difference">
                <xsl:with-param name="plus" select="収入/*"/>
                <xsl:with-param name="minus" select="固定費/* | 生活費/*"/>
              </xsl:call-template>
            </tr>
          </tbody>
        </table>
        <xsl:variable name="remarks" select="*[normalize-space(text()) and not(self::表題)]"/>
        <xsl:variable name="itemNotes" select="*/*[normalize-space(text())]"/>
        <xsl:if test="$remarks or $itemNotes">
          <div class="notes">
            <h2>備考</h2>
            <xsl:for-each select="$itemNotes">
              <p>※ <xsl:value-of select="name()"/>: <xsl:value-of select="normalize-space(text())"/></p>
            </xsl:for-each>
            <xsl:for-each select="$remarks">
              <p><xsl:value-of select="text()"/></p>
            </xsl:for-each>
          </div>
        </xsl:if>
      </body>
    </html>
  </xsl:template>

  <!-- 一つの区分: 見出し、項目ごとの行、区分の合計 -->
  <xsl:template match="収入 | 固定費 | 生活費">
    <tr class="group"><th colspan="14"><xsl:value-of select="name()"/></th></tr>
    <xsl:for-each select="*">
      <tr>
        <th>
          <xsl:value-of select="name()"/>
          <xsl:if test="normalize-space(text())"> ※</xsl:if>
        </th>
        <xsl:call-template name="cells">
          <xsl:with-param name="items" select="."/>
        </xsl:call-template>
      </tr>
    </xsl:for-each>
    <tr class="subtotal">
      <th><xsl:value-of select="name()"/>合計</th>
      <xsl:call-template name="cells">
        <xsl:with-param name="items" select="*"/>
      </xsl:call-template>
    </tr>
  </xsl:template>

  <!-- 十二か月それぞれの合計と年計 -->
  <xsl:template name="cells">
    <xsl:param name="items"/>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/JAN)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/FEB)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/MAR)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/APR)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/MAY)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/JUN)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/JUL)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/AUG)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/SEP)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/OCT)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/NOV)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/DEC)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($items/*)"/><xsl:with-param name="class" select="'year'"/></xsl:call-template>
  </xsl:template>

  <xsl:template name="difference">
    <xsl:param name="plus"/>
    <xsl:param name="minus"/>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/JAN) - sum($minus/JAN)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/FEB) - sum($minus/FEB)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/MAR) - sum($minus/MAR)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/APR) - sum($minus/APR)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/MAY) - sum($minus/MAY)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/JUN) - sum($minus/JUN)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/JUL) - sum($minus/JUL)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/AUG) - sum($minus/AUG)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/SEP) - sum($minus/SEP)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/OCT) - sum($minus/OCT)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/NOV) - sum($minus/NOV)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/DEC) - sum($minus/DEC)"/></xsl:call-template>
    <xsl:call-template name="amount"><xsl:with-param name="value" select="sum($plus/*) - sum($minus/*)"/><xsl:with-param name="class" select="'year'"/></xsl:call-template>
  </xsl:template>

  <!-- 一つの金額のセル: 桁区切りを付け、負の数は赤で示します -->
  <xsl:template name="amount">
    <xsl:param name="value"/>
    <xsl:param name="class" select="''"/>
    <td>
      <xsl:if test="$class != '' or $value &lt; 0">
        <xsl:attribute name="class">
          <xsl:value-of select="normalize-space(concat($class, ' ', substring('minus', 1, 5 * ($value &lt; 0))))"/>
        </xsl:attribute>
      </xsl:if>
      <xsl:value-of select="format-number($value, $yen)"/>
    </td>
  </xsl:template>
</xsl:stylesheet>
